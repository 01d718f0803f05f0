#pragma once

#include <QString>

// Tests and the window rules find controls by the names the dialogs give them.
template <typename W> W* named(W* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

template <typename W> W* named(W* widget, const char* name)
{
    return named(widget, QString::fromLatin1(name));
}
