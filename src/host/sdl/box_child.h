// SDL shows an X11 message box from a child process that it forks, and a
// Wayland one by starting zenity the same way, and waits for that child.
// Such a child would outlive a program that is killed, and while the main
// thread waits for it no signal can end the program. So a fork made while a
// box is being shown gives a child that dies with the program and tells
// its process id, so that the box can be taken down.
#pragma once

#include <atomic>
#include <functional>

namespace kaze::host {

// Main thread: runs `show`, which shows a box through SDL and returns once
// it is closed, and returns its result; or, when `cancelled` is set
// already, shows nothing and returns -1.
int ShowBoxInChild(const std::function<int()>& show, const std::atomic<bool>& cancelled);

// Any thread, after setting the `cancelled` that ShowBoxInChild is given:
// ends the box being shown, if there is one. A box that is just being
// opened is waited for, up to a second.
void TakeDownBox();

}  // namespace kaze::host
