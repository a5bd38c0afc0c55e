#pragma once

#include "classes/model/ClassFiles.h"
#include "classes/model/ClassState.h"
#include "classes/ui/Register.h"
#include "comments/ui/Register.h"
#include "compose/ui/Register.h"
#include "lessons/ui/Register.h"
#include "scores/ui/Register.h"
#include "shell/windows/Register.h"
#include "web/ui/Register.h"

// Every tool gives the window registry its windows' factories; the program
// and the window tests call this once at start, with the class state they
// own for as long as the windows live. The order is the order in which the
// windows that hold data are named when a restore has to wait for them.
namespace app {
inline void registerAllWindows(classes::ClassState& classes) {
    shell::registerWindows();
    classes::registerWindows(classes);
    scores::registerWindows(classes);
    comments::registerWindows(classes);
    lessons::registerWindows();
    compose::registerWindows();
    web::registerWindows();
}
} // namespace app
