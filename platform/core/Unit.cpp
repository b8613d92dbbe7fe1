#include "platform/core/Unit.h"

#include "platform/core/Exception.h"

#include <QMap>
#include <exception>
#include <functional>
#include <vector>

namespace vyn {

namespace {

struct UnitEntry
{
    QString name;
    QStringList uses;
    TUnitProc init = nullptr;
    TUnitProc fin = nullptr;
};

struct UnitTable
{
    QMap<QString, UnitEntry> units; // ordered by name
    QStringList initialized;        // in order of initialisation
};

UnitTable& Table()
{
    static UnitTable table;
    return table;
}

// Units in dependency order, ties broken by name.
QStringList InitOrder()
{
    UnitTable& t = Table();
    QStringList order;
    QMap<QString, int> state; // 1 visiting, 2 done
    std::function<void(const QString&, const QString&)> visit = [&](const QString& name,
                                                                    const QString& from) {
        auto it = t.units.constFind(name);
        if (it == t.units.constEnd())
            throw EUnitError(QStringLiteral("Unit %1 uses unknown unit %2").arg(from, name));
        if (state.value(name) == 2)
            return;
        if (state.value(name) == 1)
            throw EUnitError(
                QStringLiteral("Units use each other in a cycle through %1").arg(name));
        state[name] = 1;
        for (const QString& used : it->uses)
            visit(used, name);
        state[name] = 2;
        order.append(name);
    };
    for (auto it = t.units.constBegin(); it != t.units.constEnd(); ++it)
        visit(it.key(), it.key());
    return order;
}

} // namespace

TUnitRegistration::TUnitRegistration(const char* Name, std::initializer_list<const char*> Uses,
                                     TUnitProc Initialization, TUnitProc Finalization)
{
    UnitEntry e;
    e.name = QString::fromLatin1(Name);
    for (const char* u : Uses)
        e.uses.append(QString::fromLatin1(u));
    e.init = Initialization;
    e.fin = Finalization;
    Table().units.insert(e.name, e);
}

void InitializeUnits()
{
    UnitTable& t = Table();
    for (const QString& name : InitOrder()) {
        if (t.initialized.contains(name))
            continue;
        const UnitEntry& e = t.units[name];
        if (e.init)
            e.init();
        t.initialized.append(name);
    }
}

void FinalizeUnits()
{
    UnitTable& t = Table();
    std::exception_ptr first;
    while (!t.initialized.isEmpty()) {
        const QString name = t.initialized.takeLast();
        const UnitEntry& e = t.units[name];
        if (!e.fin)
            continue;
        try {
            e.fin();
        } catch (...) {
            if (!first)
                first = std::current_exception();
        }
    }
    if (first)
        std::rethrow_exception(first);
}

QStringList InitializedUnits()
{
    return Table().initialized;
}

bool UnitIsInitialized(const QString& Name)
{
    return Table().initialized.contains(Name);
}

} // namespace vyn
