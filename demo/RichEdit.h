#pragma once

namespace vyn {

class TForm1;

// Registers the alias "VynExample" for the program's folder, in the session only, when the
// session does not know it yet; the configuration mode is all three modes afterwards.
void RegisterExampleAlias();

// The start-up sequence up to the message loop: units, alias, main form, coordinator.
// Application must exist.
TForm1* StartRichEdit();

} // namespace vyn
