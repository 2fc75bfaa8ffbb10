// The GUI half for a program without a display (krn_gui_console): the command krn2html-convert
// links it in place of a desktop backend, so that it needs no GUI toolkit and runs where no
// desktop exists (a server, a container, a build machine).
//
// Implemented:
//  [X] Message boxes: written to standard error as "title: text", answered with OK.
//  [X] The millisecond clock (a monotonic clock) and the machine facts (processor count).
//  [X] The event pump: there is never a message; a wait with a timeout sleeps it out.
//  [ ] Windows, controls, file dialogs, drawing, pointer and keys: there is no display, so
//      every request fails as the seam states for failure (null, false or 0).
#pragma once
