#pragma once

#include <QString>

namespace vyn {

class TComponent;
class TObject;

// The object that Component's published property Name refers to (a component reference, a
// string list or a nested object); null when the class publishes no such property, when it is
// empty, or when the property holds no object at all.
TObject* GetObjectProperty(TComponent* Component, const QString& Name);

} // namespace vyn
