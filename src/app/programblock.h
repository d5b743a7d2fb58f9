#pragma once

#include <functional>

class TAppForm;

// The program from start to end: the named lock, the application object, the main window
// created and shown, the event loop. whenShown, if given, runs once the window is on
// screen (the start-up benchmark uses it); the shipped program passes none.
int RunParlotext(int argc, char** argv, const std::function<void(TAppForm&)>& whenShown = {});
