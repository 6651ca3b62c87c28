// Helpers shared by the Qt backend's tests: the event loop while waiting,
// nodes of the active layout, the open popup menu and modal dialogs.
#pragma once

#include "track/BuiltinLayouts.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <functional>

namespace quillon::testing {

// Runs the Qt event loop for a moment; for waits on sockets.
inline void idle() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The node of the active layout with that name, or of that type; nullptr
// when there is none.
inline const TrackNode* findNode(const char* name) {
    const TrackLayout& layout = activeLayout();
    for (int i = 0; i < layout.nodeCount; ++i)
        if (std::strcmp(layout.nodes[i].name, name) == 0)
            return &layout.nodes[i];
    return nullptr;
}

inline const TrackNode* firstNodeOfType(int type) {
    const TrackLayout& layout = activeLayout();
    for (int i = 0; i < layout.nodeCount; ++i)
        if (layout.nodes[i].type == type)
            return &layout.nodes[i];
    return nullptr;
}

inline QPoint pointOf(const TrackNode* node) {
    return {node->x, node->y};
}

inline QMenu* openMenu() {
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

// The menu's entries as their labels, "-" for a separator.
inline QStringList entries(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

inline QStringList checkedEntries(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions())
        if (action->isChecked())
            texts << action->text();
    return texts;
}

// Clicks the entry with that label.
inline void choose(QMenu* menu, const QString& text) {
    QVERIFY(menu != nullptr);
    for (QAction* action : menu->actions())
        if (action->text() == text) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
            return;
        }
    QFAIL(qPrintable(QStringLiteral("no entry ") + text));
}

// Runs check on the next modal dialog once it is open, and when a class
// name is given, once the open one is of that class; check closes it.
inline void whenModalOpens(std::function<void(QWidget*)> check, const char* className = nullptr) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, check, className] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible())
            return;
        if (className != nullptr && !modal->inherits(className))
            return;
        poll->stop();
        poll->deleteLater();
        check(modal);
    });
    poll->start(10);
}

} // namespace quillon::testing
