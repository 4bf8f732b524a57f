#pragma once
#include <QIcon>

// The program's icon: the picture its desktop entry installs, built into the
// program, for the application, its windows and the about box.
QIcon ProgramIcon();
