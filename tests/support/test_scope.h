#pragma once
// An object that lives as long as the running test: timers and connections
// made with it as their context end with the test, so that nothing a test
// left pending acts during a later one. The test programs' main ends it
// after every test.

#include <QObject>

namespace pixora::testing {

inline QObject*& TestScopeSlot() {
    static QObject* scope = nullptr;
    return scope;
}

inline QObject* TestScope() {
    QObject*& scope = TestScopeSlot();
    if (!scope) scope = new QObject;
    return scope;
}

inline void EndTestScope() {
    QObject*& scope = TestScopeSlot();
    delete scope;
    scope = nullptr;
}

} // namespace pixora::testing
