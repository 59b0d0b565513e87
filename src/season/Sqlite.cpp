#include "season/Sqlite.h"

#include "platform/Cp932.h"

#include <sqlite3.h>

namespace {

std::string pathText(const std::filesystem::path& path) {
    return toCp932Lenient(path.string());
}

} // namespace

bool ESqliteError::IsDamage() const {
    return m_code == SQLITE_NOTADB || m_code == SQLITE_CORRUPT;
}

bool ESqliteError::IsBusy() const {
    return m_code == SQLITE_BUSY || m_code == SQLITE_LOCKED;
}

TSqliteDatabase::TSqliteDatabase(const std::filesystem::path& file, int busyMilliseconds)
    : m_file(file) {
    const int code =
        sqlite3_open_v2(file.c_str(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW |
                            SQLITE_OPEN_NOMUTEX, // a connection is used by one thread at a time
                        nullptr);
    if (code != SQLITE_OK) {
        const std::string reason = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(code);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw ESqliteError(pathText(file) + sjis("がオープンできません: ") + reason, code);
    }
    sqlite3_extended_result_codes(m_db, 0);
    sqlite3_busy_timeout(m_db, busyMilliseconds);
}

TSqliteDatabase::~TSqliteDatabase() {
    sqlite3_close_v2(m_db);
}

void TSqliteDatabase::Fail(int code) const {
    if ((code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED)
        throw ESqliteError(pathText(m_file) + sjis("は他のプログラムが使用中です"), code & 0xFF);
    throw ESqliteError(pathText(m_file) + ": " + sqlite3_errmsg(m_db), code & 0xFF);
}

void TSqliteDatabase::Execute(const std::string& sql) {
    const int code = sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        Fail(code);
}

std::int64_t TSqliteDatabase::LastInsertId() const {
    return sqlite3_last_insert_rowid(m_db);
}

TSqliteStatement::TSqliteStatement(const TSqliteDatabase& db, std::string_view sql) : m_db(db) {
    const int code = sqlite3_prepare_v3(db.Handle(), sql.data(), static_cast<int>(sql.size()),
                                        SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr);
    if (code != SQLITE_OK)
        db.Fail(code);
}

TSqliteStatement::~TSqliteStatement() {
    sqlite3_finalize(m_statement);
}

TSqliteStatement& TSqliteStatement::Bind(int index, std::int64_t value) {
    if (const int code = sqlite3_bind_int64(m_statement, index, value); code != SQLITE_OK)
        m_db.Fail(code);
    return *this;
}

TSqliteStatement& TSqliteStatement::Bind(int index, double value) {
    if (const int code = sqlite3_bind_double(m_statement, index, value); code != SQLITE_OK)
        m_db.Fail(code);
    return *this;
}

TSqliteStatement& TSqliteStatement::Bind(int index, std::string_view text) {
    const int code = sqlite3_bind_text64(m_statement, index, text.data(), text.size(),
                                         SQLITE_TRANSIENT, SQLITE_UTF8);
    if (code != SQLITE_OK)
        m_db.Fail(code);
    return *this;
}

TSqliteStatement& TSqliteStatement::BindNull(int index) {
    if (const int code = sqlite3_bind_null(m_statement, index); code != SQLITE_OK)
        m_db.Fail(code);
    return *this;
}

bool TSqliteStatement::Step() {
    const int code = sqlite3_step(m_statement);
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    sqlite3_reset(m_statement);
    m_db.Fail(code);
}

void TSqliteStatement::Run() {
    while (Step()) {
    }
    Reset();
}

void TSqliteStatement::Reset() {
    sqlite3_reset(m_statement);
}

int TSqliteStatement::ColumnCount() const {
    return sqlite3_column_count(m_statement);
}

bool TSqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

std::int64_t TSqliteStatement::Int64(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

double TSqliteStatement::Double(int column) const {
    return sqlite3_column_double(m_statement, column);
}

std::string TSqliteStatement::Text(int column) const {
    return std::string(TextView(column));
}

std::string_view TSqliteStatement::TextView(int column) const {
    const auto* text = sqlite3_column_text(m_statement, column);
    return text ? std::string_view(
                      reinterpret_cast<const char*>(text),
                      static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)))
                : std::string_view();
}

TSqliteTransaction::TSqliteTransaction(TSqliteDatabase& db) : m_db(db) {
    m_db.Execute("BEGIN IMMEDIATE");
}

TSqliteTransaction::~TSqliteTransaction() {
    if (m_open)
        sqlite3_exec(m_db.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void TSqliteTransaction::Commit() {
    m_db.Execute("COMMIT");
    m_open = false;
}

TSqliteReadTransaction::TSqliteReadTransaction(TSqliteDatabase& db) : m_db(db) {
    if (sqlite3_get_autocommit(m_db.Handle()) != 0) {
        m_db.Execute("BEGIN");
        m_began = true;
    }
}

TSqliteReadTransaction::~TSqliteReadTransaction() {
    if (m_began)
        sqlite3_exec(m_db.Handle(), "COMMIT", nullptr, nullptr, nullptr);
}
