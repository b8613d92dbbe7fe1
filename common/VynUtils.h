#pragma once

#include "platform/ui/Keys.h"

#include <QString>

namespace vyn {

class TComponent;
class TWinControl;

// The value of Component's published string property Name; "" when its class publishes no
// property of that name, or one of another kind.
QString GetStringProperty(TComponent* Component, const QString& Name);

// For Enter (13): posts a Tab key press to the control, so that once the event loop runs the
// focus moves on to the next control as with Tab. Key stays as it is, so the control still
// handles its Enter. Other keys: nothing.
void EnterAsTab(TWinControl* Control, Word& Key);

} // namespace vyn
