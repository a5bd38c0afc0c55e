#pragma once

#include "comments/Register.h"
#include "compose/Register.h"
#include "lessons/Register.h"
#include "scores/Register.h"
#include "shell/Register.h"
#include "web/Register.h"

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
