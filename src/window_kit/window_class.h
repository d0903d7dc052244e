#pragma once
// The class of each window, declared once beside the class:
//
//     template <> struct WindowClass<TWindow::Resize> { using Type = ResizeDialog; };
//
// The window host installs and gives out a window as the class of its id
// (window_host.h). There is no general definition: a window is reached as
// its own class only where its class is declared.

#include "doc/window_ids.h"

namespace pixora {

template <TWindow id> struct WindowClass;
template <TWindow id> using WindowClassOf = typename WindowClass<id>::Type;

} // namespace pixora
