#pragma once

#include "comments/ui/Register.h"
#include "compose/ui/Register.h"
#include "lessons/ui/Register.h"
#include "scores/ui/Register.h"
#include "shell/windows/Register.h"
#include "web/ui/Register.h"

// Every tool gives the window registry its windows' factories; the program
// and the window tests call this once at start.
namespace app {
inline void registerAllWindows() {
    shell::registerWindows();
    scores::registerWindows();
    comments::registerWindows();
    compose::registerWindows();
    lessons::registerWindows();
    web::registerWindows();
}
} // namespace app
