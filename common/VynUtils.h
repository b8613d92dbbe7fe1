#pragma once

#include <QString>

namespace vyn {

class TComponent;

// The value of Component's published string property Name; "" when its class publishes no
// property of that name, or one of another kind.
QString GetStringProperty(TComponent* Component, const QString& Name);

} // namespace vyn
