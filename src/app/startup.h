#pragma once

#include <QApplication>

#include <memory>

namespace brevant {

// Whether there is a display to show windows on. Without one the toolkit
// would abort with a long message; this says in one line what to do.
bool displayAvailable();

// The program's application object: its name, the face of its message
// boxes, its desktop entry. The font configuration, a good part of the
// start-up, is read beside the connection to the display rather than
// after it.
std::unique_ptr<QApplication> makeApplication(int &argc, char **argv);

} // namespace brevant
