#include "store/TfrmGlobal.h"

#include "common/Paths.h"
#include "common/Prompt.h"
#include "common/TextCodec.h"
#include "store/engine/Cursor.h"
#include "store/engine/EngineError.h"
#include "store/engine/Table.h"

#include <QFile>
#include <QPointer>

namespace ks {

namespace {
QPointer<TfrmGlobal>& instanceSlot() {
    static QPointer<TfrmGlobal> p;
    return p;
}

// The shipped tips: paragraphs of data/tips.txt.
QStringList shippedTips() {
    QFile f(sharedDataDirectory() + QStringLiteral("/data/tips.txt"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = decodeText(f.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList out;
    for (const QString& para : text.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts)) {
        const QString t = para.simplified();
        if (!t.isEmpty())
            out << t;
    }
    return out;
}
} // namespace

TfrmGlobal::TfrmGlobal(const QString& directory, QObject* parent)
    : QObject(parent), m_connection(directory),
      m_main(std::make_unique<Cursor>(m_connection, Contact::TableFile)),
      m_aux(std::make_unique<Cursor>(m_connection, Contact::TableFile)) {
    m_aux->setFieldNames(Contact::auxFieldNames());
    instanceSlot() = this;
    ensureTables();
    connect(m_main.get(), &Cursor::currentChanged, this, [this] {
        if (m_main->isOpen() && m_aux->isOpen())
            emit dataChanged();
    });
}

TfrmGlobal::~TfrmGlobal() = default;

TfrmGlobal* TfrmGlobal::instance() { return instanceSlot().data(); }

void TfrmGlobal::ensureTables() {
    if (!m_connection.tableExists(Contact::TableFile))
        m_connection.createTable(Contact::TableFile, Contact::fields(), Contact::indexes());
    if (!m_connection.tableExists(Contact::TipsFile)) {
        m_connection.createTable(Contact::TipsFile, Contact::tipFields(),
                                 {IndexDef{QStringLiteral("TIPNUMBER"), {QStringLiteral("TipNumber")}, {}, true, false}});
        Cursor tips(m_connection, Contact::TipsFile);
        tips.open();
        tips.disableControls();
        for (const QString& tip : shippedTips()) {
            tips.append();
            tips.setValue(QStringLiteral("Tip"), tip);
            tips.post();
        }
        tips.enableControls();
    }
}

void TfrmGlobal::openTables() {
    m_main->open();
    if (!m_main->hasField(Contact::RealPrint))
        UpgradeTable();
    m_main->close();
    m_main->open();
    m_aux->close();
    m_aux->open();
}

void TfrmGlobal::UpgradeTable() {
    if (m_main->hasField(Contact::RealPrint))
        return;
    m_main->close();
    m_aux->close();
    {
        auto table = m_connection.table(Contact::TableFile);
        table->addField(FieldDef{Contact::RealPrint, FieldType::Logical, 0, QString(), true});
    }
    m_aux->open();
    m_main->open();
    m_main->refresh();
    Prompt::current().info(QStringLiteral("Data has been brought up to latest version."));
}

void TfrmGlobal::BuildCategoryList() {
    if (!m_aux->isOpen())
        m_aux->open();
    QStringList list{Contact::AllCategories};
    list << m_aux->table()->distinctValues(Contact::Category);
    m_categories = list;
    m_aux->setIndexFieldNames(Contact::RowKeyFields);
    emit categoryListChanged();
}

RowKey TfrmGlobal::rowKeyOf(const Cursor& c) const {
    return RowKey{c.text(Contact::LastName), c.text(Contact::FirstName), c.text(Contact::HomePhone)};
}

RowKey TfrmGlobal::currentRowKey() const { return rowKeyOf(*m_main); }

} // namespace ks
