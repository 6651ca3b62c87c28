#include "protocol/SensorNames.h"

#include "protocol/CommandFraming.h"

#include <cstdio>

namespace quillon {

bool formatSensorName(int number, char (&name)[SENSOR_NAME_CAPACITY]) {
    name[0] = '\0';
    if (number < 0 || number >= SENSOR_MODULES * SENSORS_PER_MODULE)
        return false;
    std::snprintf(name, sizeof name, "%c%d", 'A' + number / SENSORS_PER_MODULE,
                  number % SENSORS_PER_MODULE + 1);
    return true;
}

int parseSensorName(const char* text) {
    if (text == nullptr)
        return -1;
    char letter = text[0];
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    if (letter < 'A' || letter >= 'A' + SENSOR_MODULES)
        return -1;
    int contact = 0;
    int digits = 0;
    for (const char* p = text + 1; *p != '\0'; ++p, ++digits) {
        if (*p < '0' || *p > '9' || digits == 2)
            return -1;
        contact = contact * 10 + (*p - '0');
    }
    if (digits == 0 || text[1] == '0' || contact > SENSORS_PER_MODULE)
        return -1;
    return (letter - 'A') * SENSORS_PER_MODULE + contact - 1;
}

} // namespace quillon
