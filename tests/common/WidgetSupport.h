#pragma once

#include "TestSupport.h"

#include <QString>
#include <QWidget>

namespace classes {
class ClassState;
}

namespace testing_support {

// The class state the test program hands to its windows, as the program
// hands its own.
classes::ClassState& programClasses();

// Finds a child widget by objectName (control-array names included).
template <typename T> T* child(QWidget* parent, const QString& name) {
    return parent ? parent->findChild<T*>(name) : nullptr;
}

} // namespace testing_support
