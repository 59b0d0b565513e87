#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// A failure of the database library; the message names the file and the library's reason
// (CP932). code is the library's primary result code (SQLITE_BUSY, SQLITE_CORRUPT ...).
class ESqliteError : public std::runtime_error {
public:
    ESqliteError(const std::string& message, int code)
        : std::runtime_error(message), m_code(code) {}
    int Code() const { return m_code; }
    // The file is not a database, or its pages do not hold together.
    bool IsDamage() const;
    // Another connection holds the lock longer than the busy timeout.
    bool IsBusy() const;

private:
    int m_code;
};

// One connection to an SQLite database file, created when missing. A connection that
// finds the file locked by another waits up to busyMilliseconds before its statement
// fails with SQLITE_BUSY.
class TSqliteDatabase {
public:
    TSqliteDatabase(const std::filesystem::path& file, int busyMilliseconds);
    ~TSqliteDatabase();
    TSqliteDatabase(const TSqliteDatabase&) = delete;
    TSqliteDatabase& operator=(const TSqliteDatabase&) = delete;

    // Runs statements that return no rows we keep.
    void Execute(const std::string& sql);
    std::int64_t LastInsertId() const;
    const std::filesystem::path& File() const { return m_file; }
    sqlite3* Handle() const { return m_db; }

    // The error of the last call that failed with code.
    [[noreturn]] void Fail(int code) const;

private:
    std::filesystem::path m_file;
    sqlite3* m_db = nullptr;
};

// A prepared statement. Parameters count from 1, result columns from 0.
class TSqliteStatement {
public:
    TSqliteStatement(const TSqliteDatabase& db, std::string_view sql);
    ~TSqliteStatement();
    TSqliteStatement(const TSqliteStatement&) = delete;
    TSqliteStatement& operator=(const TSqliteStatement&) = delete;

    TSqliteStatement& Bind(int index, std::int64_t value);
    TSqliteStatement& Bind(int index, int value) { return Bind(index, std::int64_t{value}); }
    TSqliteStatement& Bind(int index, double value);
    TSqliteStatement& Bind(int index, std::string_view text); // UTF-8
    TSqliteStatement& BindNull(int index);

    // The next row: true when there is one, false when the statement is done.
    bool Step();
    // Steps to the end and resets the statement for its next run (the bindings stay).
    void Run();
    void Reset();

    int ColumnCount() const;
    bool IsNull(int column) const;
    std::int64_t Int64(int column) const;
    int Int(int column) const { return static_cast<int>(Int64(column)); }
    double Double(int column) const;
    std::string Text(int column) const;
    // The same without a copy, valid until the next step; empty for NULL.
    std::string_view TextView(int column) const;

private:
    const TSqliteDatabase& m_db;
    sqlite3_stmt* m_statement = nullptr;
};

// A write transaction, begun at once (BEGIN IMMEDIATE, so a second writer waits or fails
// here and never in the middle). Rolled back unless committed.
class TSqliteTransaction {
public:
    explicit TSqliteTransaction(TSqliteDatabase& db);
    ~TSqliteTransaction();
    TSqliteTransaction(const TSqliteTransaction&) = delete;
    TSqliteTransaction& operator=(const TSqliteTransaction&) = delete;

    void Commit();

private:
    TSqliteDatabase& m_db;
    bool m_open = true;
};

// Reads that see one state of the store, whatever another program commits meanwhile: a read
// transaction, unless one is open already (then it is part of that one).
class TSqliteReadTransaction {
public:
    explicit TSqliteReadTransaction(TSqliteDatabase& db);
    ~TSqliteReadTransaction();
    TSqliteReadTransaction(const TSqliteReadTransaction&) = delete;
    TSqliteReadTransaction& operator=(const TSqliteReadTransaction&) = delete;

private:
    TSqliteDatabase& m_db;
    bool m_began = false;
};
