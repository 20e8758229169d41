#pragma once

#include <QString>

// A window's control carries its member name as its object name, so that the
// program and the tests find it by that name.
template <typename Control>
Control *NamedControl(Control *control, const char *name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}
