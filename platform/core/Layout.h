#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace vyn {

class TComponent;

// Stored layouts: the text form of a form's or data module's components.
//
//   object Form1: TForm1
//     Caption = 'People'#13#10'and more'
//     Font.Style = [fsBold]
//     Items.Strings = (
//       'one'
//       'two')
//     OnCreate = FormCreate
//     object Button1: TButton
//       Glyph.Data = {0A1B2C}
//     end
//   end
//
// Each nested component is created by its class name with the root as owner, named, stored in
// the root's published field of that name, and adopted by the component it is nested in.
// Properties are set through the published-property information; events bind to the root's
// published methods; component references are resolved after everything is read (forward ones
// too). Then every component, the root first, gets Loaded once. All of them carry csLoading
// while the layout is read.
//
// Any fault raises EReadError naming the line and the problem. Components created by a read
// that fails are freed, and the root's fields that pointed at them are cleared.

// Reads a layout into an existing root component (a form reading its own layout). The layout's
// class must be the root's class or one of its ancestors.
void ReadComponentLayout(TComponent* Root, const QByteArray& Text,
                         const QString& SourceName = QString());

// Creates the root component of a layout from its class name, owned by Owner, and reads it.
TComponent* CreateComponentFromLayout(const QByteArray& Text, TComponent* Owner,
                                      const QString& SourceName = QString());

// Resolves "Root.Component" references to components of other roots (forms, data modules).
// The application installs it; without it such references are unresolved.
using TFindGlobalComponent = std::function<TComponent*(const QString& Name)>;
void SetFindGlobalComponent(TFindGlobalComponent Finder);

} // namespace vyn
