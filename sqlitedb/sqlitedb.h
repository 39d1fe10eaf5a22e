// The database access layer: plain C++ over the system SQLite, no Qt.
#pragma once

#include "sqlitedb/codepage.h"
#include "sqlitedb/field_value.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/sqlite_table.h"
#include "sqlitedb/text_scanning.h"
#include "sqlitedb/text_table.h"
