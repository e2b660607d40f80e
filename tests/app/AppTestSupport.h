#pragma once

#include "app/AppInfo.h"
#include "common/Clock.h"
#include "common/Paths.h"
#include "common/ScriptedPrompt.h"
#include "common/Shell.h"
#include "store/ContactSchema.h"
#include "store/engine/Connection.h"
#include "store/engine/Cursor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace kstest {

// One contact for a fixture table: the fields a test cares about, the rest empty.
struct Person {
    Person(QString l, QString f = {}, QString p = {}, QString cat = {}, QString fl = QStringLiteral("N"), QString ci = {},
           QString em = {}, QString w = {})
        : last(std::move(l)), first(std::move(f)), phone(std::move(p)), category(std::move(cat)), flag(std::move(fl)),
          city(std::move(ci)), email(std::move(em)), web(std::move(w)) {}
    QString last, first, phone, category, flag, city, email, web;
};

// A fresh program directory with a scripted prompt, a recording shell and a clock that only moves
// when the program sleeps.
class AppHome {
public:
    AppHome() {
        ks::setProgramDirectory(dir.path());
        prompt = ks::ScriptedPrompt::installNew();
        auto s = std::make_unique<ks::RecordingShell>();
        shell = s.get();
        ks::Shell::install(std::move(s));
        setClock(QDateTime(QDate(2024, 3, 1), QTime(9, 30, 10)));
    }
    ~AppHome() {
        ks::setProgramDirectory(QString());
        ks::Prompt::install(nullptr);
        ks::Shell::install(nullptr);
        ks::Clock::install(nullptr);
    }
    AppHome(const AppHome&) = delete;
    AppHome& operator=(const AppHome&) = delete;

    void setClock(const QDateTime& t) {
        auto c = std::make_unique<ks::ManualClock>(t);
        clock = c.get();
        ks::Clock::install(std::move(c));
    }

    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    QByteArray read(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray ini() const { return read(ks::AppInfo::SettingsFile); }
    void writeIni(const QByteArray& bytes) const { write(ks::AppInfo::SettingsFile, bytes); }

    // Creates the contact table holding these people.
    void addPeople(const QList<Person>& people) const {
        ks::Connection conn(dir.path());
        if (!conn.tableExists(ks::Contact::TableFile))
            conn.createTable(ks::Contact::TableFile, ks::Contact::fields(), ks::Contact::indexes());
        ks::Cursor c(conn, ks::Contact::TableFile);
        c.open();
        for (const Person& p : people) {
            c.append();
            c.setValue(ks::Contact::LastName, p.last);
            c.setValue(ks::Contact::FirstName, p.first);
            c.setValue(ks::Contact::HomePhone, p.phone);
            c.setValue(ks::Contact::Category, p.category);
            c.setValue(ks::Contact::BusinessFlag, p.flag);
            c.setValue(ks::Contact::City, p.city);
            c.setValue(ks::Contact::EMail, p.email);
            c.setValue(ks::Contact::User1, p.web);
            c.post();
        }
    }

    QTemporaryDir dir;
    ks::ScriptedPrompt* prompt = nullptr;
    ks::RecordingShell* shell = nullptr;
    ks::ManualClock* clock = nullptr;
};

} // namespace kstest
