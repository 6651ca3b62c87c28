// Sensor numbers as the controller's report counts them and the names
// people use for them: module letter A..E and contact 1..16, so sensor 44
// is "C13".
#pragma once

namespace quillon {

// Room for the longest name and its NUL.
constexpr int SENSOR_NAME_CAPACITY = 4;

// Writes the name of sensor number 0..79 into name; false (and an empty
// name) for any other number.
bool formatSensorName(int number, char (&name)[SENSOR_NAME_CAPACITY]);

// The number of the sensor named text (a capital or small letter A..E, then
// 1..16 without leading zeros), or -1 when text names no sensor.
int parseSensorName(const char* text);

} // namespace quillon
