#pragma once

#include <QString>

namespace vyn {

class TComboBox;
class TComponent;
class TControl;
class TField;
class TObject;

// The object that Component's published property Name refers to (a component reference, a
// string list or a nested object); null when the class publishes no such property, when it is
// empty, or when the property holds no object at all.
TObject* GetObjectProperty(TComponent* Component, const QString& Name);

// Hook slots through which generic code obtains editors and display settings for a field
// without knowing the field classes that fill them. Empty until a unit installs a function.
using TCreateFieldComboHook = TComboBox* (*)(TComponent* Owner, TField* Field);
using TCreateFieldControlHook = TControl* (*)(TComponent* Owner, TField* Field);
using TSetupFieldHook = void (*)(TField* Field);
extern TCreateFieldComboHook CreateFieldComboHook;
extern TCreateFieldControlHook CreateFieldControlHook;
extern TSetupFieldHook SetupFieldHook;

} // namespace vyn
