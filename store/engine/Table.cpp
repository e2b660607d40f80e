#include "store/engine/Table.h"

#include "store/engine/EngineError.h"
#include "store/engine/Filter.h"
#include "store/engine/RecordScan.h"
#include "store/engine/SqlText.h"

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStringEncoder>
#include <sqlite3.h>
#include <algorithm>
#include <string_view>
#include <vector>

namespace ks {

namespace {

// Unicode-aware upper-casing for sort keys; ASCII text takes the short road.
void ksUpper(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int n = sqlite3_value_bytes(argv[0]);
    bool ascii = true;
    for (int i = 0; i < n; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) {
        char* out = static_cast<char*>(sqlite3_malloc(n + 1));
        if (!out) {
            sqlite3_result_error_nomem(ctx);
            return;
        }
        for (int i = 0; i < n; ++i) {
            const char c = text[i];
            out[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        }
        out[n] = 0;
        sqlite3_result_text(ctx, out, n, sqlite3_free);
        return;
    }
    const QByteArray up = QString::fromUtf8(text, n).toUpper().toUtf8();
    sqlite3_result_text(ctx, up.constData(), static_cast<int>(up.size()), SQLITE_TRANSIENT);
}

// ks_match(needle, matchCase, f1, f2, ...): index of the first field holding the needle, or -1.
// Needle and haystack are compared upper-cased unless matchCase; ASCII text avoids any copy.
bool asciiOnly(const char* s, int n) {
    for (int i = 0; i < n; ++i)
        if (static_cast<unsigned char>(s[i]) >= 0x80)
            return false;
    return true;
}

bool asciiContainsUpper(const char* hay, int hn, const char* needle, int nn) {
    if (nn == 0)
        return true;
    for (int i = 0; i + nn <= hn; ++i) {
        int j = 0;
        while (j < nn) {
            char c = hay[i + j];
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
            char d = needle[j];
            if (d >= 'a' && d <= 'z')
                d = static_cast<char>(d - 32);
            if (c != d)
                break;
            ++j;
        }
        if (j == nn)
            return true;
    }
    return false;
}

// Decodes UTF-8 into upper-cased code points (simple case mapping, one code point for one).
void upperCodePoints(const char* s, int n, std::vector<char32_t>& out) {
    out.clear();
    for (int i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(s[i]);
        char32_t cp;
        int len;
        if (b < 0x80) {
            cp = b;
            len = 1;
        } else if ((b >> 5) == 0x6 && i + 1 < n) {
            cp = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
            len = 2;
        } else if ((b >> 4) == 0xE && i + 2 < n) {
            cp = ((b & 0x0Fu) << 12) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 6) |
                 (static_cast<unsigned char>(s[i + 2]) & 0x3Fu);
            len = 3;
        } else if ((b >> 3) == 0x1E && i + 3 < n) {
            cp = ((b & 0x07u) << 18) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 12) |
                 ((static_cast<unsigned char>(s[i + 2]) & 0x3Fu) << 6) | (static_cast<unsigned char>(s[i + 3]) & 0x3Fu);
            len = 4;
        } else {
            cp = b;
            len = 1;
        }
        out.push_back(cp < 0x80 ? ((cp >= 'a' && cp <= 'z') ? cp - 32 : cp) : QChar::toUpper(cp));
        i += len;
    }
}

void ksMatch(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    const auto* needle = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int nn = sqlite3_value_bytes(argv[0]);
    const bool matchCase = sqlite3_value_int(argv[1]) != 0;
    const bool needleAscii = asciiOnly(needle, nn);
    // Reused buffers: the function runs once per record and must not allocate each time.
    thread_local std::vector<char32_t> needleCp, hayCp;
    bool needleDecoded = false;
    for (int i = 2; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            continue;
        const auto* hay = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
        const int hn = sqlite3_value_bytes(argv[i]);
        bool found;
        if (matchCase) {
            found = nn == 0 || (hn >= nn && std::string_view(hay, static_cast<size_t>(hn)).find(std::string_view(needle, static_cast<size_t>(nn))) != std::string_view::npos);
        } else if (needleAscii && asciiOnly(hay, hn)) {
            found = asciiContainsUpper(hay, hn, needle, nn);
        } else {
            if (!needleDecoded) {
                upperCodePoints(needle, nn, needleCp);
                needleDecoded = true;
            }
            upperCodePoints(hay, hn, hayCp);
            found = std::search(hayCp.begin(), hayCp.end(), needleCp.begin(), needleCp.end()) != hayCp.end();
        }
        if (found) {
            sqlite3_result_int(ctx, i - 2);
            return;
        }
    }
    sqlite3_result_int(ctx, -1);
}

struct Stmt {
    sqlite3_stmt* s = nullptr;
    explicit Stmt(sqlite3_stmt* st) : s(st) {}
    ~Stmt() { sqlite3_finalize(s); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
};

// A statement kept prepared by the table: reset and unbound when the guard goes.
struct Reused {
    sqlite3_stmt* s;
    explicit Reused(sqlite3_stmt* st) : s(st) {}
    ~Reused() {
        sqlite3_reset(s);
        sqlite3_clear_bindings(s);
    }
    Reused(const Reused&) = delete;
    Reused& operator=(const Reused&) = delete;
};

// Text is bound as UTF-8. With `keep`, the bytes stay there and SQLite reads them in place: the
// buffer must outlive the statement's next step (callers reuse one buffer per parameter).
void bindValue(sqlite3_stmt* st, int pos, const QVariant& v, QByteArray* keep = nullptr) {
    if (!v.isValid() || v.isNull()) {
        sqlite3_bind_null(st, pos);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Bool: sqlite3_bind_int(st, pos, v.toBool() ? 1 : 0); break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: sqlite3_bind_int64(st, pos, v.toLongLong()); break;
    case QMetaType::Double: sqlite3_bind_double(st, pos, v.toDouble()); break;
    case QMetaType::QString: {
        static thread_local QByteArray scratch;
        QByteArray& buffer = keep ? *keep : scratch;
        const QString& text = *static_cast<const QString*>(v.constData());
        // Plain ASCII, the usual case, byte for byte; anything else through the encoder.
        buffer.resize(text.size() * 3);
        char* out = buffer.data();
        const QChar* in = text.constData();
        qsizetype n = 0;
        while (n < text.size() && in[n].unicode() < 0x80) {
            out[n] = char(in[n].unicode());
            ++n;
        }
        if (n < text.size()) {
            QStringEncoder utf8(QStringEncoder::Utf8);
            n = utf8.appendToBuffer(out, text) - out;
        }
        sqlite3_bind_text(st, pos, out, static_cast<int>(n), keep ? SQLITE_STATIC : SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QByteArray b = v.toString().toUtf8();
        sqlite3_bind_text(st, pos, b.constData(), static_cast<int>(b.size()), SQLITE_TRANSIENT);
    }
    }
}

// A text value already in the stored form of its string field (within width, no trailing blank).
bool isStoredText(const FieldDef& f, const QVariant& v) {
    if (f.type != FieldType::String || v.typeId() != QMetaType::QString)
        return false;
    const QString& text = *static_cast<const QString*>(v.constData());
    return (f.size <= 0 || text.size() <= f.size) && !text.endsWith(QLatin1Char(' '));
}

QVariant columnValue(sqlite3_stmt* st, int col) {
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_NULL: return QVariant();
    case SQLITE_INTEGER: return QVariant(static_cast<qint64>(sqlite3_column_int64(st, col)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(st, col));
    default:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, col)),
                                          sqlite3_column_bytes(st, col)));
    }
}

const QString IsoTime = QStringLiteral("HH:mm:ss.zzz");
const QString IsoDateTime = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

QDate parseDate(const QString& s) {
    const QLocale loc = QLocale::system();
    for (const QString& fmt : {QStringLiteral("yyyy-MM-dd"), loc.dateFormat(QLocale::ShortFormat), QStringLiteral("M/d/yyyy"),
                               QStringLiteral("M/d/yy"), QStringLiteral("d.M.yyyy"), QStringLiteral("yyyyMMdd")}) {
        QDate d = QDate::fromString(s, fmt);
        if (d.isValid()) {
            if (fmt.count(QLatin1Char('y')) == 2 && d.year() < 1950)
                d = d.addYears(100);
            return d;
        }
    }
    return QDate();
}

QTime parseTime(const QString& s) {
    const QLocale loc = QLocale::system();
    for (const QString& fmt : {IsoTime, QStringLiteral("HH:mm:ss"), QStringLiteral("H:mm"), loc.timeFormat(QLocale::ShortFormat),
                               loc.timeFormat(QLocale::LongFormat), QStringLiteral("h:mm AP"), QStringLiteral("h:mm:ss AP")}) {
        const QTime t = QTime::fromString(s, fmt);
        if (t.isValid())
            return t;
    }
    return QTime();
}

QDateTime parseDateTime(const QString& s) {
    QDateTime dt = QDateTime::fromString(s, Qt::ISODateWithMs);
    if (dt.isValid())
        return dt;
    dt = QDateTime::fromString(s, QLocale::system().dateTimeFormat(QLocale::ShortFormat));
    if (dt.isValid())
        return dt;
    const int sp = s.indexOf(QLatin1Char(' '));
    const QDate d = parseDate(sp < 0 ? s : s.left(sp));
    if (!d.isValid())
        return QDateTime();
    if (sp < 0)
        return d.startOfDay();
    const QTime t = parseTime(s.mid(sp + 1).trimmed());
    return t.isValid() ? QDateTime(d, t) : QDateTime();
}

// The stored text of a date, a time or a date-time given typed or as text; empty when the value
// is not one.
QString storedTemporal(FieldType type, const QVariant& value) {
    const int id = value.typeId();
    if (type == FieldType::Date) {
        const QDate d = id == QMetaType::QDate       ? value.toDate()
                        : id == QMetaType::QDateTime ? value.toDateTime().date()
                                                     : parseDate(value.toString().trimmed());
        return d.isValid() ? d.toString(Qt::ISODate) : QString();
    }
    if (type == FieldType::Time) {
        const QTime t = id == QMetaType::QTime       ? value.toTime()
                        : id == QMetaType::QDateTime ? value.toDateTime().time()
                                                     : parseTime(value.toString().trimmed());
        return t.isValid() ? t.toString(IsoTime) : QString();
    }
    const QDateTime dt = id == QMetaType::QDateTime ? value.toDateTime()
                         : id == QMetaType::QDate   ? value.toDate().startOfDay()
                                                    : parseDateTime(value.toString().trimmed());
    return dt.isValid() ? dt.toString(IsoDateTime) : QString();
}


} // namespace

Table::Table(const QString& path, const QString& tableName) : m_path(path), m_tableName(tableName) {}

Table::~Table() {
    closeScans();
    clearCache();
    sqlite3_finalize(m_readStmt);
    if (m_db) {
        if (m_txDepth > 0) {
            try {
                restoreIndexes();
                sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
            } catch (const EngineError&) {
                sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            }
        }
        sqlite3_close_v2(m_db);
    }
}

QString Table::fileName() const { return QFileInfo(m_path).fileName(); }

[[noreturn]] void Table::fail(int rc, const QString& what) const {
    const int ext = m_db ? sqlite3_extended_errcode(m_db) : rc;
    const QString detail = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
    if (ext == SQLITE_CONSTRAINT_UNIQUE || ext == SQLITE_CONSTRAINT_PRIMARYKEY)
        throw EngineError(EngineCode::DuplicateKey,
                          QStringLiteral("7057 Duplicate key: a record with the same key values already exists "
                                         "in table %1 (%2).").arg(fileName(), detail));
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw EngineError(EngineCode::TableLocked,
                          QStringLiteral("The table file %1 is locked by another process; try again when it "
                                         "is free.").arg(m_path));
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        throw EngineError(EngineCode::ReadOnly, QStringLiteral("The table file %1 can't be written (%2).").arg(m_path, detail));
    case SQLITE_FULL:
        throw EngineError(EngineCode::DiskFull, QStringLiteral("The disk holding %1 is full.").arg(m_path));
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        throw EngineError(EngineCode::NotATable, QStringLiteral("The file %1 is not a readable table.").arg(m_path));
    default:
        throw EngineError(EngineCode::General, QStringLiteral("%1 failed on %2: %3").arg(what, m_path, detail));
    }
}

void Table::check(int rc, const QString& what) const {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        fail(rc, what);
}

sqlite3_stmt* Table::cached(const QString& sql) {
    if (sqlite3_stmt* st = m_cache.value(sql))
        return st;
    sqlite3_stmt* st = prepare(sql);
    m_cache.insert(sql, st);
    return st;
}

void Table::clearCache() {
    for (sqlite3_stmt* st : std::as_const(m_cache))
        sqlite3_finalize(st);
    m_cache.clear();
}

sqlite3_stmt* Table::prepare(const QString& sql) const {
    sqlite3_stmt* st = nullptr;
    const QByteArray b = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, b.constData(), static_cast<int>(b.size()), &st, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(st);
        fail(rc, QStringLiteral("Reading"));
    }
    return st;
}

void Table::exec(const char* sql) {
    char* err = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &err);
    sqlite3_free(err);
    check(rc, QString::fromUtf8(sql).section(QLatin1Char(' '), 0, 0));
}

void Table::exec(const QString& sql) { exec(sql.toUtf8().constData()); }

void Table::open() {
    if (!QFileInfo::exists(m_path))
        throw EngineError(EngineCode::FileNotFound, QStringLiteral("The table file %1 does not exist.").arg(m_path));
    // A table is only ever used by the thread that opened it: no locking of the connection.
    const int rc = sqlite3_open_v2(m_path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK)
        fail(rc, QStringLiteral("Opening"));
    if (sqlite3_db_readonly(m_db, "main") == 1)
        throw EngineError(EngineCode::ReadOnly, QStringLiteral("The table file %1 is read-only.").arg(m_path));
    sqlite3_busy_timeout(m_db, 1500);
    sqlite3_create_function_v2(m_db, "ks_match", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, ksMatch, nullptr,
                               nullptr, nullptr);
    sqlite3_create_function_v2(m_db, "ks_upper", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                               ksUpper, nullptr, nullptr, nullptr);
    // Reading the schema tells a table file from anything else.
    {
        sqlite3_stmt* st = nullptr;
        const int prc = sqlite3_prepare_v2(m_db, "SELECT name FROM sqlite_master WHERE type='table'", -1, &st, nullptr);
        if (prc != SQLITE_OK) {
            sqlite3_finalize(st);
            fail(prc, QStringLiteral("Opening"));
        }
        Stmt guard(st);
        bool found = false;
        int src;
        while ((src = sqlite3_step(st)) == SQLITE_ROW) {
            const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            if (name.compare(m_tableName, Qt::CaseInsensitive) == 0) {
                m_tableName = name;
                found = true;
            }
        }
        if (src != SQLITE_DONE)
            fail(src, QStringLiteral("Opening"));
        if (!found)
            throw EngineError(EngineCode::NotATable,
                              QStringLiteral("The file %1 holds no table named %2.").arg(m_path, m_tableName));
    }
    exec("PRAGMA journal_mode=WAL");
    exec("PRAGMA synchronous=NORMAL");
    exec("PRAGMA cache_size=-65536");
    loadSchema();
}

void Table::loadSchema() {
    clearCache();
    m_fields.clear();
    m_autoNext.clear();
    {
        Stmt st(prepare(QStringLiteral("PRAGMA table_info(%1)").arg(quoteId(m_tableName))));
        while (sqlite3_step(st.s) == SQLITE_ROW) {
            const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.s, 1)));
            const QString type = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.s, 2)));
            m_fields << fieldFromDeclaration(name, type);
        }
    }
    QStringList cols;
    for (const FieldDef& f : m_fields)
        cols << quoteId(f.name);
    m_selectSql = cols.join(QStringLiteral(", "));
    QStringList params;
    for (int i = 0; i < m_fields.size(); ++i)
        params << QStringLiteral("?%1").arg(i + 1);
    m_blankRecord.clear();
    for (int i = 0; i < m_fields.size(); ++i)
        m_blankRecord << fromStored(i, QVariant());
    m_insertSql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(quoteId(m_tableName), m_selectSql, params.join(QLatin1Char(',')));
    sqlite3_finalize(m_readStmt);
    m_readStmt = prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1").arg(m_selectSql, quoteId(m_tableName)));
    refreshIndexes();
}

int Table::fieldIndex(const QString& name) const {
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void Table::refreshIndexes() {
    restoreIndexes();
    m_indexes.clear();
    QList<QPair<QString, bool>> list;
    {
        Stmt st(prepare(QStringLiteral("PRAGMA index_list(%1)").arg(quoteId(m_tableName))));
        while (sqlite3_step(st.s) == SQLITE_ROW) {
            const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.s, 1)));
            if (!name.startsWith(QLatin1String("sqlite_autoindex")))
                list << qMakePair(name, sqlite3_column_int(st.s, 2) != 0);
        }
    }
    static const QRegularExpression part(QStringLiteral("ks_upper\\((?:substr\\()?\"((?:[^\"]|\"\")+)\"(?:,1,(\\d+)\\))?\\)"));
    for (const auto& [name, unique] : list) {
        IndexDef def;
        def.name = name;
        def.unique = unique;
        bool expression = false;
        bool first = true;
        {
            Stmt st(prepare(QStringLiteral("PRAGMA index_xinfo(%1)").arg(quoteId(name))));
            while (sqlite3_step(st.s) == SQLITE_ROW) {
                if (sqlite3_column_int(st.s, 5) == 0)
                    continue; // the row id tail
                if (first)
                    def.descending = sqlite3_column_int(st.s, 3) != 0;
                first = false;
                if (sqlite3_column_int(st.s, 1) == -2)
                    expression = true;
                else
                    def.fields << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.s, 2)));
            }
        }
        if (expression) {
            def.fields.clear();
            Stmt st(prepare(QStringLiteral("SELECT sql FROM sqlite_master WHERE type='index' AND name=?1")));
            bindValue(st.s, 1, name);
            if (sqlite3_step(st.s) == SQLITE_ROW) {
                const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.s, 0)));
                auto it = part.globalMatch(sql);
                while (it.hasNext()) {
                    const auto m = it.next();
                    def.upperParts << SortKeyPart{m.captured(1).replace(QStringLiteral("\"\""), QStringLiteral("\"")),
                                                  m.captured(2).toInt()};
                }
            }
        }
        m_indexes << def;
    }
}

QStringList Table::indexNames() const {
    QStringList out;
    for (const IndexDef& d : m_indexes)
        out << d.name;
    return out;
}

bool Table::hasIndex(const QString& name) const {
    for (const IndexDef& d : m_indexes)
        if (d.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

IndexDef Table::indexDef(const QString& name) const {
    for (const IndexDef& d : m_indexes)
        if (d.name.compare(name, Qt::CaseInsensitive) == 0)
            return d;
    throw EngineError(EngineCode::NoSuchIndex, QStringLiteral("The table %1 has no index named %2.").arg(fileName(), name));
}

QString Table::indexForFields(const QStringList& fields) const {
    for (const IndexDef& d : m_indexes) {
        if (d.fields.size() != fields.size() || !d.upperParts.isEmpty())
            continue;
        bool same = true;
        for (int i = 0; i < fields.size(); ++i)
            same = same && d.fields.at(i).compare(fields.at(i).trimmed(), Qt::CaseInsensitive) == 0;
        if (same)
            return d.name;
    }
    return QString();
}

void Table::dropIndex(const QString& name) {
    restoreIndexes();
    const IndexDef d = indexDef(name);
    closeScans();
    exec(QStringLiteral("DROP INDEX %1").arg(quoteId(d.name)));
    refreshIndexes();
    changed();
}

void Table::createIndex(const IndexDef& def) {
    restoreIndexes();
    auto sameAs = [&](const IndexDef& o) {
        if (o.unique != def.unique || o.descending != def.descending || o.upperParts.size() != def.upperParts.size())
            return false;
        for (int i = 0; i < def.upperParts.size(); ++i)
            if (o.upperParts.at(i).field.compare(def.upperParts.at(i).field, Qt::CaseInsensitive) != 0 ||
                o.upperParts.at(i).length != def.upperParts.at(i).length)
                return false;
        return o.fields.join(QLatin1Char(';')).compare(def.fields.join(QLatin1Char(';')), Qt::CaseInsensitive) == 0;
    };
    QString existing;
    for (const IndexDef& d : m_indexes)
        if (d.name.compare(def.name, Qt::CaseInsensitive) == 0) {
            if (sameAs(d))
                return; // the database has kept it current
            existing = d.name;
        }
    QStringList terms;
    const QString dir = def.descending ? QStringLiteral(" DESC") : QString();
    for (const SortKeyPart& p : def.upperParts)
        terms << upperPartSql(p) + dir;
    for (const QString& f : def.fields)
        terms << quoteId(f) + dir;
    closeScans();
    beginTransaction();
    try {
        if (!existing.isEmpty())
            exec(QStringLiteral("DROP INDEX %1").arg(quoteId(existing)));
        exec(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                 .arg(def.unique ? QStringLiteral("UNIQUE ") : QString(), quoteId(def.name), quoteId(m_tableName),
                      terms.join(QStringLiteral(", "))));
        commit();
    } catch (...) {
        rollback();
        throw;
    }
    refreshIndexes();
    changed();
}

void Table::lockExclusive() {
    closeScans();
    if (m_txDepth > 0)
        throw EngineError(EngineCode::TableLocked,
                          QStringLiteral("The table file %1 is busy with another job; try again when it is done.").arg(m_path));
    exec("BEGIN EXCLUSIVE");
    exec("COMMIT");
}

void Table::unlockExclusive() {}

void Table::pack() {
    lockExclusive();
    exec("VACUUM");
    changed();
}

void Table::reindex() {
    lockExclusive();
    exec(QStringLiteral("REINDEX %1").arg(quoteId(m_tableName)));
    exec("VACUUM");
    changed();
}

void Table::addField(const FieldDef& def) {
    lockExclusive();
    exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(quoteId(m_tableName), columnDeclaration(def)));
    loadSchema();
    changed();
}

qint64 Table::rowCount() {
    Stmt st(prepare(QStringLiteral("SELECT count(*) FROM %1").arg(quoteId(m_tableName))));
    check(sqlite3_step(st.s), QStringLiteral("Counting"));
    return sqlite3_column_int64(st.s, 0);
}

QVector<QVariant> Table::readRecord(RowId id) {
    sqlite3_reset(m_readStmt);
    sqlite3_bind_int64(m_readStmt, 1, id);
    const int rc = sqlite3_step(m_readStmt);
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE)
            fail(rc, QStringLiteral("Reading"));
        return {};
    }
    QVector<QVariant> rec;
    decodeRow(m_readStmt, 0, rec);
    sqlite3_reset(m_readStmt);
    return rec;
}

RowId Table::insertRecord(const QVector<QVariant>& values) {
    noteAppend();
    Reused st(cached(m_insertSql));
    m_rowBuffers.resize(m_fields.size());
    const QVariant none;
    for (int i = 0; i < m_fields.size(); ++i) {
        const QVariant& given = i < values.size() ? values.at(i) : none;
        if (isStoredText(m_fields.at(i), given)) { // the common case: nothing to convert
            bindValue(st.s, i + 1, given, &m_rowBuffers[i]);
            continue;
        }
        QVariant v = toStored(i, given);
        if (m_fields.at(i).type == FieldType::AutoInc) {
            // The next number is looked up once, then counted here.
            if (!m_autoNext.contains(i)) {
                Stmt mx(prepare(QStringLiteral("SELECT COALESCE(MAX(%1),0)+1 FROM %2").arg(quoteId(m_fields.at(i).name), quoteId(m_tableName))));
                check(sqlite3_step(mx.s), QStringLiteral("Numbering"));
                m_autoNext.insert(i, sqlite3_column_int64(mx.s, 0));
            }
            if (!v.isValid())
                v = m_autoNext.value(i);
            m_autoNext[i] = qMax(m_autoNext.value(i), v.toLongLong() + 1);
        }
        bindValue(st.s, i + 1, v, &m_rowBuffers[i]);
    }
    check(sqlite3_step(st.s), QStringLiteral("Adding a record"));
    const RowId id = sqlite3_last_insert_rowid(m_db);
    changed();
    return id;
}

void Table::updateRecord(RowId id, const QVector<QVariant>& values, const QVector<QVariant>* before) {
    QVector<QVariant> stored(m_fields.size());
    QList<int> written;
    for (int i = 0; i < m_fields.size(); ++i) {
        stored[i] = toStored(i, values.value(i));
        // Unchanged fields are left alone, and so are the indexes over them.
        if (before && before->size() == m_fields.size() && toStored(i, before->at(i)) == stored.at(i))
            continue;
        written << i;
    }
    if (written.isEmpty())
        return;
    QString sql = QStringLiteral("UPDATE %1 SET ").arg(quoteId(m_tableName));
    for (int i : written)
        sql += QStringLiteral("%1=?%2,").arg(quoteId(m_fields.at(i).name)).arg(i + 1);
    sql.chop(1);
    sql += QStringLiteral(" WHERE rowid=?%1").arg(m_fields.size() + 1);
    Reused st(cached(sql));
    for (int i : written)
        bindValue(st.s, i + 1, stored.at(i));
    sqlite3_bind_int64(st.s, m_fields.size() + 1, id);
    check(sqlite3_step(st.s), QStringLiteral("Saving a record"));
    changed();
}

void Table::deleteRecord(RowId id) {
    Reused st(cached(QStringLiteral("DELETE FROM %1 WHERE rowid=?1").arg(quoteId(m_tableName))));
    sqlite3_bind_int64(st.s, 1, id);
    check(sqlite3_step(st.s), QStringLiteral("Removing a record"));
    changed();
}

QString Table::orderTerms(const QString& indexName) const {
    if (indexName.isEmpty())
        return QStringLiteral("rowid");
    const IndexDef d = indexDef(indexName);
    QStringList terms;
    const QString dir = d.descending ? QStringLiteral(" DESC") : QString();
    for (const SortKeyPart& p : d.upperParts)
        terms << upperPartSql(p) + dir;
    for (const QString& f : d.fields)
        terms << quoteId(f) + dir;
    terms << QStringLiteral("rowid");
    return terms.join(QStringLiteral(", "));
}

// What a lookup compares a field with: text without trailing blanks (never cut to the field's
// width), any other value in its stored form; none when the value can't be one of the field's.
std::optional<QVariant> Table::lookupValue(int field, const QVariant& value) const {
    if (m_fields.at(field).type == FieldType::String) {
        QString s = value.toString();
        while (s.endsWith(QLatin1Char(' ')))
            s.chop(1);
        return QVariant(s);
    }
    try {
        return toStored(field, value);
    } catch (const EngineError&) {
        return std::nullopt;
    }
}

sqlite3_stmt* Table::prepareView(const QString& columns, const Filter& filter, const QString& indexName) {
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(columns, quoteId(m_tableName));
    if (!filter.isEmpty())
        sql += QStringLiteral(" WHERE %1 = ?1").arg(quoteId(filter.field()));
    sql += QStringLiteral(" ORDER BY ") + orderTerms(indexName);
    QVariant v;
    if (!filter.isEmpty()) {
        const int fi = fieldIndex(filter.field());
        if (fi < 0)
            throw EngineError(EngineCode::NoSuchField, QStringLiteral("The table %1 has no field %2.").arg(fileName(), filter.field()));
        const std::optional<QVariant> wanted = lookupValue(fi, filter.value());
        if (!wanted)
            return nullptr;
        v = *wanted;
    }
    sqlite3_stmt* st = prepare(sql);
    if (!filter.isEmpty())
        bindValue(st, 1, v);
    return st;
}

QVector<RowId> Table::selectRowIds(const Filter& filter, const QString& indexName) {
    sqlite3_stmt* prepared = prepareView(QStringLiteral("rowid"), filter, indexName);
    if (!prepared)
        return {};
    Stmt st(prepared);
    QVector<RowId> out;
    out.reserve(static_cast<int>(qMin<qint64>(rowCount(), 1 << 24)));
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW)
        out.append(sqlite3_column_int64(st.s, 0));
    check(rc, QStringLiteral("Reading"));
    return out;
}

std::unique_ptr<RecordScan> Table::scanRecords(const Filter& filter, const QString& indexName) {
    sqlite3_stmt* st = prepareView(QStringLiteral("rowid, ") + m_selectSql, filter, indexName);
    if (!st)
        return nullptr;
    std::unique_ptr<RecordScan> scan(new RecordScan(*this, st));
    m_scans.insert(scan.get());
    return scan;
}

void Table::forgetScan(RecordScan* scan) { m_scans.remove(scan); }

void Table::closeScans() {
    for (RecordScan* scan : std::as_const(m_scans))
        scan->close();
    m_scans.clear();
}

void Table::decodeRow(sqlite3_stmt* st, int firstColumn, QVector<QVariant>& record) const {
    record.resize(m_fields.size());
    QVariant* out = record.data();
    for (int i = 0; i < m_fields.size(); ++i) {
        const int col = firstColumn + i;
        const FieldType t = m_fields.at(i).type;
        if ((t == FieldType::String || t == FieldType::Memo) && sqlite3_column_type(st, col) == SQLITE_TEXT) {
            // The common case: one conversion, into the record's own string when it has one.
            QString text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, col)),
                                             sqlite3_column_bytes(st, col));
            if (out[i].typeId() == QMetaType::QString)
                *static_cast<QString*>(out[i].data()) = std::move(text);
            else
                out[i] = std::move(text);
        } else {
            out[i] = fromStored(i, columnValue(st, col));
        }
    }
}

QVector<RowId> Table::findRows(const QStringList& fields, const QVariantList& values, const Filter& filter,
                               QVector<QVariant>* firstRecord) {
    if (!lookupServedWithoutDeferred(fields))
        restoreIndexes();
    QStringList conds;
    QVariantList binds;
    for (int i = 0; i < fields.size(); ++i) {
        const int fi = fieldIndex(fields.at(i).trimmed());
        if (fi < 0)
            throw EngineError(EngineCode::NoSuchField, QStringLiteral("The table %1 has no field %2.").arg(fileName(), fields.at(i)));
        const std::optional<QVariant> wanted = lookupValue(fi, values.value(i));
        if (!wanted)
            return {};
        const QVariant& stored = *wanted;
        if (!stored.isValid()) {
            conds << QStringLiteral("%1 IS NULL").arg(quoteId(m_fields.at(fi).name));
        } else {
            conds << QStringLiteral("%1 = ?%2").arg(quoteId(m_fields.at(fi).name)).arg(binds.size() + 1);
            binds << stored;
        }
    }
    if (!filter.isEmpty()) {
        const int fi = fieldIndex(filter.field());
        conds << QStringLiteral("%1 = ?%2").arg(quoteId(filter.field())).arg(binds.size() + 1);
        QVariant fv = filter.value();
        if (fi >= 0 && m_fields.at(fi).type != FieldType::String)
            fv = toStored(fi, fv);
        binds << fv;
    }
    QString sql = QStringLiteral("SELECT rowid");
    if (firstRecord)
        sql += QStringLiteral(", ") + m_selectSql;
    sql += QStringLiteral(" FROM %1").arg(quoteId(m_tableName));
    if (!conds.isEmpty())
        sql += QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY rowid");
    Reused st(cached(sql));
    for (int i = 0; i < binds.size(); ++i)
        bindValue(st.s, i + 1, binds.at(i));
    QVector<RowId> out;
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
        if (out.isEmpty() && firstRecord)
            decodeRow(st.s, 1, *firstRecord);
        out.append(sqlite3_column_int64(st.s, 0));
    }
    check(rc, QStringLiteral("Locating"));
    return out;
}

QVector<Table::TextMatch> Table::searchText(const QList<int>& fields, const QString& text, bool matchCase,
                                            const QString& indexName) {
    if (fields.isEmpty())
        return {};
    QStringList cols;
    for (int f : fields)
        cols << quoteId(m_fields.at(f).name);
    const QString& needle = text; // ks_match upper-cases both sides itself

    Stmt st(prepare(QStringLiteral("SELECT rowid, ks_match(?1, ?2, %1) AS m FROM %2 WHERE m >= 0 ORDER BY %3")
                        .arg(cols.join(QStringLiteral(", ")), quoteId(m_tableName), orderTerms(indexName))));
    bindValue(st.s, 1, needle);
    sqlite3_bind_int(st.s, 2, matchCase ? 1 : 0);
    QVector<TextMatch> out;
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW)
        out.append(TextMatch{sqlite3_column_int64(st.s, 0), fields.at(sqlite3_column_int(st.s, 1))});
    check(rc, QStringLiteral("Searching"));
    return out;
}

QStringList Table::distinctValues(const QString& field) {
    const int fi = fieldIndex(field);
    if (fi < 0)
        throw EngineError(EngineCode::NoSuchField, QStringLiteral("The table %1 has no field %2.").arg(fileName(), field));
    const QString col = quoteId(m_fields.at(fi).name);
    Stmt st(prepare(QStringLiteral("SELECT DISTINCT %1 FROM %2 WHERE %1 <> '' ORDER BY %1").arg(col, quoteId(m_tableName))));
    QStringList out;
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW)
        out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.s, 0)), sqlite3_column_bytes(st.s, 0));
    check(rc, QStringLiteral("Reading"));
    return out;
}

namespace {
// Row ids go into a temporary table so that one statement can use them.
void loadIds(Table& t, sqlite3* db, const QVector<RowId>& ids) {
    Q_UNUSED(t);
    sqlite3_exec(db, "CREATE TEMP TABLE IF NOT EXISTS ks_ids(id INTEGER PRIMARY KEY); DELETE FROM temp.ks_ids;", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "INSERT OR IGNORE INTO temp.ks_ids(id) VALUES (?1)", -1, &st, nullptr);
    for (RowId id : ids) {
        sqlite3_bind_int64(st, 1, id);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}
} // namespace

QHash<RowId, QVector<QVariant>> Table::readRecords(const QVector<RowId>& ids) {
    QHash<RowId, QVector<QVariant>> out;
    if (ids.isEmpty())
        return out;
    out.reserve(ids.size());
    beginTransaction();
    try {
        loadIds(*this, m_db, ids);
        Stmt st(prepare(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (SELECT id FROM temp.ks_ids)")
                            .arg(m_selectSql, quoteId(m_tableName))));
        int rc;
        while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
            QVector<QVariant> rec;
            decodeRow(st.s, 1, rec);
            out.insert(sqlite3_column_int64(st.s, 0), rec);
        }
        check(rc, QStringLiteral("Reading"));
        commit();
    } catch (...) {
        rollback();
        throw;
    }
    return out;
}

QVector<QStringList> Table::readTexts(const QVector<RowId>& ids, const QList<int>& fields) {
    QVector<QStringList> out(ids.size());
    if (ids.isEmpty() || fields.isEmpty())
        return out;
    QStringList cols;
    for (int f : fields)
        cols << quoteId(m_fields.at(f).name);
    QHash<RowId, QStringList> byId;
    byId.reserve(ids.size());
    beginTransaction();
    try {
        loadIds(*this, m_db, ids);
        Stmt st(prepare(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (SELECT id FROM temp.ks_ids)")
                            .arg(cols.join(QStringLiteral(", ")), quoteId(m_tableName))));
        int rc;
        while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
            QStringList vals;
            for (int i = 0; i < fields.size(); ++i)
                vals << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.s, i + 1)),
                                          sqlite3_column_bytes(st.s, i + 1));
            byId.insert(sqlite3_column_int64(st.s, 0), vals);
        }
        check(rc, QStringLiteral("Reading"));
        commit();
    } catch (...) {
        rollback();
        throw;
    }
    for (int i = 0; i < ids.size(); ++i)
        out[i] = byId.value(ids.at(i));
    return out;
}

QVector<RowId> Table::lookupKeys(const QList<int>& fields, const QVector<QStringList>& keys, const Filter& filter) {
    restoreIndexes();
    QVector<RowId> out(keys.size(), 0);
    if (keys.isEmpty())
        return out;
    QStringList conds;
    for (int i = 0; i < fields.size(); ++i)
        conds << QStringLiteral("%1 = ?%2").arg(quoteId(m_fields.at(fields.at(i)).name)).arg(i + 1);
    const int fi = filter.isEmpty() ? -1 : fieldIndex(filter.field());
    if (fi >= 0)
        conds << QStringLiteral("%1 = ?%2").arg(quoteId(m_fields.at(fi).name)).arg(fields.size() + 1);
    Stmt st(prepare(QStringLiteral("SELECT rowid FROM %1 WHERE %2 ORDER BY rowid LIMIT 1")
                        .arg(quoteId(m_tableName), conds.join(QStringLiteral(" AND ")))));
    if (fi >= 0)
        bindValue(st.s, fields.size() + 1, m_fields.at(fi).type == FieldType::String ? filter.value() : toStored(fi, filter.value()));
    beginTransaction();
    try {
        for (int k = 0; k < keys.size(); ++k) {
            sqlite3_reset(st.s);
            for (int i = 0; i < fields.size(); ++i)
                bindValue(st.s, i + 1, keys.at(k).value(i));
            const int rc = sqlite3_step(st.s);
            if (rc == SQLITE_ROW)
                out[k] = sqlite3_column_int64(st.s, 0);
            else
                check(rc, QStringLiteral("Locating"));
        }
        commit();
    } catch (...) {
        rollback();
        throw;
    }
    return out;
}

QHash<QString, RowId> Table::keyMap(const QList<int>& fields, const Filter& filter) {
    QStringList cols;
    for (int f : fields)
        cols << quoteId(m_fields.at(f).name);
    QString sql = QStringLiteral("SELECT rowid, %1 FROM %2").arg(cols.join(QStringLiteral(", ")), quoteId(m_tableName));
    const int fi = filter.isEmpty() ? -1 : fieldIndex(filter.field());
    if (fi >= 0)
        sql += QStringLiteral(" WHERE %1 = ?1").arg(quoteId(m_fields.at(fi).name));
    Stmt st(prepare(sql));
    if (fi >= 0)
        bindValue(st.s, 1, m_fields.at(fi).type == FieldType::String ? filter.value() : toStored(fi, filter.value()));
    QHash<QString, RowId> out;
    int rc;
    while ((rc = sqlite3_step(st.s)) == SQLITE_ROW) {
        QString key;
        for (int i = 0; i < fields.size(); ++i) {
            if (i)
                key += QChar(0x1f);
            key += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.s, i + 1)),
                                     sqlite3_column_bytes(st.s, i + 1));
        }
        out.insert(key, sqlite3_column_int64(st.s, 0));
    }
    check(rc, QStringLiteral("Reading"));
    return out;
}

void Table::setFieldForAll(const QString& field, const QVariant& value) {
    const int fi = fieldIndex(field);
    if (fi < 0)
        throw EngineError(EngineCode::NoSuchField, QStringLiteral("The table %1 has no field %2.").arg(fileName(), field));
    const QString col = quoteId(m_fields.at(fi).name);
    Stmt st(prepare(QStringLiteral("UPDATE %1 SET %2 = ?1 WHERE %2 IS NOT ?1").arg(quoteId(m_tableName), col)));
    bindValue(st.s, 1, toStored(fi, value));
    check(sqlite3_step(st.s), QStringLiteral("Saving records"));
    changed();
}

void Table::markRows(const QString& field, const QSet<RowId>& ids, const QVariant& inSet, const QVariant& otherwise) {
    const int fi = fieldIndex(field);
    if (fi < 0)
        throw EngineError(EngineCode::NoSuchField, QStringLiteral("The table %1 has no field %2.").arg(fileName(), field));
    const QString col = quoteId(m_fields.at(fi).name);
    beginTransaction();
    try {
        loadIds(*this, m_db, QVector<RowId>(ids.begin(), ids.end()));
        const QString value = QStringLiteral("(CASE WHEN rowid IN (SELECT id FROM temp.ks_ids) THEN ?1 ELSE ?2 END)");
        Stmt st(prepare(QStringLiteral("UPDATE %1 SET %2 = %3 WHERE %2 IS NOT %3").arg(quoteId(m_tableName), col, value)));
        bindValue(st.s, 1, toStored(fi, inSet));
        bindValue(st.s, 2, toStored(fi, otherwise));
        check(sqlite3_step(st.s), QStringLiteral("Saving records"));
        commit();
    } catch (...) {
        rollback();
        throw;
    }
    changed();
}

void Table::setFieldForRows(const QString& field, const QVariant& value, const QVector<RowId>& ids) {
    const int fi = fieldIndex(field);
    if (fi < 0)
        throw EngineError(EngineCode::NoSuchField, QStringLiteral("The table %1 has no field %2.").arg(fileName(), field));
    beginTransaction();
    try {
        loadIds(*this, m_db, ids);
        Stmt st(prepare(QStringLiteral("UPDATE %1 SET %2 = ?1 WHERE rowid IN (SELECT id FROM temp.ks_ids)")
                            .arg(quoteId(m_tableName), quoteId(m_fields.at(fi).name))));
        bindValue(st.s, 1, toStored(fi, value));
        check(sqlite3_step(st.s), QStringLiteral("Saving records"));
        commit();
    } catch (...) {
        rollback();
        throw;
    }
    changed();
}

void Table::deleteRows(const QVector<RowId>& ids) {
    beginTransaction();
    try {
        loadIds(*this, m_db, ids);
        exec(QStringLiteral("DELETE FROM %1 WHERE rowid IN (SELECT id FROM temp.ks_ids)").arg(quoteId(m_tableName)));
        commit();
    } catch (...) {
        rollback();
        throw;
    }
    changed();
}

void Table::beginTransaction() {
    if (m_txDepth++ == 0) {
        try {
            exec("BEGIN");
        } catch (...) {
            m_txDepth = 0;
            throw;
        }
        m_writesInTx = 0;
        m_batchClock.start();
        m_appendsInTx = 0;
        m_keepIndexes = false;
    }
}

void Table::commit() {
    if (m_txDepth == 0)
        return;
    if (--m_txDepth == 0) {
        try {
            restoreIndexes();
        } catch (...) {
            // Without its indexes the batch must not land: it goes, and the table stays as it was.
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        exec("COMMIT");
    }
}

void Table::rollback() {
    if (m_txDepth == 0)
        return;
    if (--m_txDepth == 0) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        m_deferredIndexes.clear(); // the rollback brought them back
    }
}

QVariant Table::toStored(int field, const QVariant& value) const {
    const FieldDef& f = m_fields.at(field);
    if (f.type == FieldType::String && value.typeId() == QMetaType::QString) {
        // By far the most common value: cut to width, trailing blanks dropped.
        const QString& text = *static_cast<const QString*>(value.constData());
        qsizetype n = f.size > 0 ? qMin(text.size(), qsizetype(f.size)) : text.size();
        while (n > 0 && text.at(n - 1) == QLatin1Char(' '))
            --n;
        return n == text.size() ? QVariant(text) : QVariant(text.left(n));
    }
    // An invalid date or time given as such means "no value", like a null.
    const bool invalidTemporal = (value.typeId() == QMetaType::QDate && !value.toDate().isValid()) ||
                                 (value.typeId() == QMetaType::QTime && !value.toTime().isValid()) ||
                                 (value.typeId() == QMetaType::QDateTime && !value.toDateTime().isValid());
    const bool empty = !value.isValid() || value.isNull() || invalidTemporal ||
                       (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty() && f.type != FieldType::Memo);
    auto bad = [&]() -> EngineError {
        return EngineError(EngineCode::BadValue,
                           QStringLiteral("\"%1\" is not a valid value for the field %2.").arg(value.toString(), f.name));
    };
    switch (f.type) {
    case FieldType::String: {
        if (!value.isValid() || value.isNull())
            return QString();
        QString s = value.typeId() == QMetaType::Bool ? (value.toBool() ? QStringLiteral("True") : QStringLiteral("False"))
                                                       : value.toString();
        if (f.size > 0 && s.size() > f.size)
            s.truncate(f.size);
        while (s.endsWith(QLatin1Char(' ')))
            s.chop(1);
        return s;
    }
    case FieldType::Memo:
        return (!value.isValid() || value.isNull()) ? QVariant() : QVariant(value.toString());
    case FieldType::Logical: {
        if (empty)
            return QVariant();
        if (value.typeId() == QMetaType::QString) {
            const QString s = value.toString().trimmed().toUpper();
            if (s == QLatin1String("T") || s == QLatin1String("TRUE") || s == QLatin1String("Y") || s == QLatin1String("YES") || s == QLatin1String("1"))
                return qint64(1);
            if (s == QLatin1String("F") || s == QLatin1String("FALSE") || s == QLatin1String("N") || s == QLatin1String("NO") || s == QLatin1String("0"))
                return qint64(0);
            throw bad();
        }
        return qint64(value.toBool() ? 1 : 0);
    }
    case FieldType::Integer:
    case FieldType::AutoInc: {
        if (empty)
            return QVariant();
        if (value.typeId() == QMetaType::QString) {
            const QString s = value.toString().trimmed();
            bool ok = false;
            qint64 n = s.toLongLong(&ok);
            if (!ok) {
                const double d = QLocale::system().toDouble(s, &ok);
                if (!ok)
                    n = qRound64(QLocale::c().toDouble(s, &ok));
                else
                    n = qRound64(d);
            }
            if (!ok)
                throw bad();
            return n;
        }
        if (value.typeId() == QMetaType::Double)
            return qRound64(value.toDouble());
        bool ok = false;
        const qint64 n = value.toLongLong(&ok);
        if (!ok)
            throw bad();
        return n;
    }
    case FieldType::Float:
    case FieldType::Currency: {
        if (empty)
            return QVariant();
        if (value.typeId() == QMetaType::QString) {
            const QString s = value.toString().trimmed();
            bool ok = false;
            double d = QLocale::c().toDouble(s, &ok);
            if (!ok)
                d = QLocale::system().toDouble(s, &ok);
            if (!ok)
                throw bad();
            return d;
        }
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (!ok)
            throw bad();
        return d;
    }
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime: {
        if (empty)
            return QVariant();
        const QString text = storedTemporal(f.type, value);
        if (text.isEmpty())
            throw bad();
        return text;
    }
    }
    return value;
}

QVariant Table::fromStored(int field, const QVariant& stored) const {
    const FieldDef& f = m_fields.at(field);
    if (!stored.isValid())
        return f.type == FieldType::String ? QVariant(QString()) : QVariant();
    switch (f.type) {
    case FieldType::String:
    case FieldType::Memo: return stored.toString();
    case FieldType::Logical: return stored.toLongLong() != 0;
    case FieldType::Integer:
    case FieldType::AutoInc: return stored.toLongLong();
    case FieldType::Float:
    case FieldType::Currency: return stored.toDouble();
    case FieldType::Date: return QDate::fromString(stored.toString(), Qt::ISODate);
    case FieldType::Time: return QTime::fromString(stored.toString(), IsoTime);
    case FieldType::DateTime: return QDateTime::fromString(stored.toString(), IsoDateTime);
    }
    return stored;
}

int Table::addChangeListener(std::function<void()> listener) {
    const int id = m_nextListener++;
    m_listeners.append(qMakePair(id, std::move(listener)));
    return id;
}

void Table::removeChangeListener(int id) {
    for (int i = 0; i < m_listeners.size(); ++i)
        if (m_listeners.at(i).first == id) {
            m_listeners.removeAt(i);
            return;
        }
}

void Table::changed() {
    ++m_generation;
    // Long batches commit every second or so: a crash loses at most the last batch, and few
    // commits keep bulk work fast (each one writes every page it touched once more).
    if (m_txDepth > 0 && m_deferredIndexes.isEmpty() && ++m_writesInTx >= 1000 && m_batchClock.elapsed() >= 1000) {
        exec("COMMIT");
        exec("BEGIN");
        m_writesInTx = 0;
        m_batchClock.start();
    }
    const auto listeners = m_listeners;
    for (const auto& l : listeners)
        l.second();
}

} // namespace ks
