#pragma once

#include "platform/db/DB.h"

#include <QString>

namespace vyn {

class TComboBox;
class TComponent;
class TControl;
class TCustomForm;
class TDataSet;
class TField;
class TObject;

// The object that Component's published property Name refers to (a component reference, a
// string list or a nested object); null when the class publishes no such property, when it is
// empty, or when the property holds no object at all.
TObject* GetObjectProperty(TComponent* Component, const QString& Name);

// The datasets behind Component's published "DataSource" and "ListSource" properties; null
// where there is none.
void GetControlDataSets(TComponent* Component, TDataSet*& DataSet, TDataSet*& ListDataSet);

// Opens or re-reads the datasets that the form's components use, by their Tag codes (tens
// digit 8: left closed; 9: re-read when browsing); Force opens and re-reads them all. A null
// form means the active form. Failures are skipped silently.
void OpenFormDataSets(TCustomForm* Form, bool Force);

// Re-reads a dataset keeping its current record: a query is completed (CheckBrowseMode),
// closed, opened and returned to its bookmark; a table refreshes.
void RefreshDataSet(TDataSet* DataSet);

// Makes the bookmarked record current again, or a neighbour when it has gone (no "Record not
// found"). An empty bookmark does nothing. The bookmark stays the caller's.
void RestoreBookmark(TDataSet* DataSet, const TBookmark& Bookmark);

// Hook slots through which generic code obtains editors and display settings for a field
// without knowing the field classes that fill them. Empty until a unit installs a function.
using TCreateFieldComboHook = TComboBox* (*)(TComponent* Owner, TField* Field);
using TCreateFieldControlHook = TControl* (*)(TComponent* Owner, TField* Field);
using TSetupFieldHook = void (*)(TField* Field);
extern TCreateFieldComboHook CreateFieldComboHook;
extern TCreateFieldControlHook CreateFieldControlHook;
extern TSetupFieldHook SetupFieldHook;

} // namespace vyn
