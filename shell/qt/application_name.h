#pragma once
// The application's name, set the same way by the program and by the tests
// of its window: it captions the message boxes.

// Call once the application object exists.
void NameApplication();
