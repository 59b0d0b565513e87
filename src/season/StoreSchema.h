#pragma once

#include <stdexcept>

class TSqliteDatabase;

// The store's tables and views, written down in the README for users' own queries.
// PRAGMA user_version holds kStoreSchemaVersion and PRAGMA application_id
// kStoreApplicationId; a file with other values is not read as a store.
constexpr int kStoreSchemaVersion = 2;
constexpr int kStoreApplicationId = 0x52555650; // "RUVP"

// A database that is not a store of this schema (CP932 message).
class EStoreSchemaError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// True when db holds this schema; false when it is empty (a new file). Throws
// EStoreSchemaError for a database of another program or another schema version, and
// ESqliteError for a file that is no database.
bool HasStoreSchema(TSqliteDatabase& db);

// Creates every table and view in an empty database, with the two numbers above.
void CreateStoreSchema(TSqliteDatabase& db);
