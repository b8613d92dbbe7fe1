#pragma once

#include <QString>
#include <QStringList>
#include <initializer_list>

namespace vyn {

// A unit with start-up or shutdown work registers both steps once, from a static object in its
// source file:
//
//   static const TUnitRegistration unit("VynRich", {"VynPopup"}, &Initialize, &Finalize);
//
// Whoever owns the program's lifetime (the application) runs the initialisations before the
// first form is created and the finalisations after the forms are gone. A unit initialises
// after the units it names as used, and finalises before them; otherwise the order is by name.
using TUnitProc = void (*)();

class TUnitRegistration
{
public:
    TUnitRegistration(const char* Name, std::initializer_list<const char*> Uses,
                      TUnitProc Initialization, TUnitProc Finalization);
};

// Runs the initialisation of every registered unit that is not initialised yet. A unit that
// fails stays uninitialised and the error propagates; those already run stay initialised.
// Raises EUnitError when a unit uses an unknown unit or the uses form a cycle.
void InitializeUnits();
// Runs the finalisations of the initialised units in reverse order of initialisation. Each
// finalisation runs even when an earlier one failed; the first error is raised afterwards.
void FinalizeUnits();
// Names of the initialised units, in the order they were initialised.
QStringList InitializedUnits();
bool UnitIsInitialized(const QString& Name);

} // namespace vyn
