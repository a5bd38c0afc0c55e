#pragma once

#include "classes/model/ClassFiles.h"
#include "comments/ui/Register.h"
#include "compose/ui/Register.h"
#include "lessons/ui/Register.h"
#include "scores/ui/Register.h"
#include "shell/windows/Register.h"
#include "web/ui/Register.h"

// Every tool gives the window registry its windows' factories; the program
// and the window tests call this once at start, with the class state they
// own for as long as the windows live.
namespace app {
inline void registerAllWindows(scores::ClassState& classes) {
    shell::registerWindows();
    scores::registerWindows(classes);
    comments::registerWindows(classes);
    compose::registerWindows();
    lessons::registerWindows();
    web::registerWindows();
}
} // namespace app
