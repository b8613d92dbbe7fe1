#pragma once

// Types shared by the dataset layer.

#include "platform/core/Exception.h"
#include "platform/core/Object.h"
#include "platform/core/Set.h"
#include "platform/core/Types.h"

#include <QByteArray>
#include <QString>

namespace vyn {

class TComponent;

VYN_ENUM(TFieldType, ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat,
         ftCurrency, ftBCD, ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob,
         ftMemo, ftGraphic, ftFmtMemo)

VYN_ENUM(TDataSetState, dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter,
         dsNewValue, dsOldValue, dsCurValue)

VYN_ENUM(TFieldKind, fkData, fkCalculated, fkLookup, fkInternalCalc)

// What a dataset tells its data sources and links.
VYN_ENUM(TDataEvent, deFieldChange, deRecordChange, deDataSetChange, deDataSetScroll,
         deLayoutChange, deUpdateRecord, deUpdateState, deCheckBrowseMode, dePropertyChange,
         deFieldListChange, deFocusControl)

VYN_ENUM(TResyncModeItem, rmExact, rmCenter)
using TResyncMode = Set<TResyncModeItem>;

VYN_ENUM(TBookmarkFlag, bfCurrent, bfBOF, bfEOF, bfInserted)

// A bookmark names a record by its key, not by its position. An empty one names nothing.
using TBookmark = QByteArray;

// Raises EDatabaseError; with a component, the message starts with its name.
[[noreturn]] void DatabaseError(const QString& Message, const TComponent* Component = nullptr);

QString FieldTypeName(TFieldType Type);

} // namespace vyn
