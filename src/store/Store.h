#pragma once

// The record store in one include: database files (Database), cursors over
// their tables (Recordset), field kinds (FieldDef, Currency) and the change
// watch. Each class has its own header as well.

#include "Backup.h"
#include "ChangeWatch.h"
#include "Currency.h"
#include "Database.h"
#include "FieldDef.h"
#include "Recordset.h"
