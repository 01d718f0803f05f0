#pragma once

#include <QIcon>

// One of the program's window icons ("KELP.ico", "W95MBX03.ico"). They are built into the
// program, so every window finds them wherever it is installed.
QIcon iconFile(const QString& name);
