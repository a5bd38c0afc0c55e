#pragma once

#include "TestSupport.h"

#include <QString>
#include <QWidget>

namespace testing_support {

// Finds a child widget by objectName (control-array names included).
template <typename T> T* child(QWidget* parent, const QString& name) {
    return parent ? parent->findChild<T*>(name) : nullptr;
}

} // namespace testing_support
