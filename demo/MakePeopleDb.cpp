// Builds the demonstration table People.DB from readable sources: a list of people and one RTF
// file per person. It writes through the library's own dataset layer.
//
//   make_people_db <people.txt> <folder of the RTF files> <output folder>

#include "platform/core/Exception.h"
#include "platform/db/DBTables.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <cstdio>

using namespace vyn;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_people_db <people.txt> <rich folder> <output folder>\n");
        return 2;
    }
    const QString list = QString::fromLocal8Bit(argv[1]);
    const QDir rich(QString::fromLocal8Bit(argv[2]));
    const QString out = QString::fromLocal8Bit(argv[3]);
    try {
        QFile f(list);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            throw Exception(QStringLiteral("Cannot read %1").arg(list));
        QDir().mkpath(out);
        TTable table(nullptr);
        table.SetDatabaseName(out);
        table.SetTableName(QStringLiteral("People.DB"));
        table.FieldDefs().Add(QStringLiteral("Id"), ftInteger);
        table.FieldDefs().Add(QStringLiteral("Name"), ftString, 40);
        table.FieldDefs().Add(QStringLiteral("Rich"), ftMemo);
        table.CreateTable();
        table.Open();
        QTextStream in(&f);
        in.setEncoding(QStringConverter::Utf8);
        int count = 0;
        while (!in.atEnd()) {
            const QString line = in.readLine().trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList parts = line.split(QLatin1Char('|'));
            if (parts.size() != 3)
                throw Exception(QStringLiteral("%1: bad line \"%2\"").arg(list, line));
            QFile rtf(rich.filePath(parts[2].trimmed()));
            if (!rtf.open(QIODevice::ReadOnly))
                throw Exception(QStringLiteral("Cannot read %1").arg(rtf.fileName()));
            table.Append();
            table.FieldByName(QStringLiteral("Id"))->SetAsInteger(parts[0].trimmed().toInt());
            table.FieldByName(QStringLiteral("Name"))->SetAsString(parts[1].trimmed());
            table.FieldByName(QStringLiteral("Rich"))->SetAsVariant(Variant(rtf.readAll()));
            table.Post();
            ++count;
        }
        table.Close();
        std::printf("People.DB: %d records\n", count);
    } catch (const Exception& e) {
        std::fprintf(stderr, "make_people_db: %s\n", e.what());
        return 1;
    }
    return 0;
}
