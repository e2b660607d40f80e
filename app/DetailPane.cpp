#include "app/DetailPane.h"

#include "app/LinkLabel.h"
#include "store/ContactSchema.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace ks {

DetailPane::DetailPane(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("TabbedNotebook1"));
    setDocumentMode(false);
    setUsesScrollButtons(false);
    addTab(buildGeneral(), QStringLiteral("General"));
    addTab(buildAddresses(), QStringLiteral("Addresses"));
    addTab(buildNotes(), QStringLiteral("Notes"));
    addTab(buildMisc(), QStringLiteral("Misc"));
    setBusinessLabels(false);
}

QLabel* DetailPane::caption(const QString& name, const QString& text) {
    auto* l = new QLabel(text);
    l->setObjectName(name);
    l->setForegroundRole(QPalette::PlaceholderText);
    return l;
}

QLabel* DetailPane::value(const QString& name, const QString& field) {
    auto* l = new QLabel;
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setMinimumWidth(40);
    m_values.insert(field, l);
    return l;
}

LinkLabel* DetailPane::link(const QString& name, const QString& field) {
    auto* l = new LinkLabel;
    l->setObjectName(name);
    m_values.insert(field, l);
    return l;
}

QWidget* DetailPane::buildGeneral() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabGeneral"));
    m_general = new QFormLayout(page);
    m_general->setLabelAlignment(Qt::AlignLeft);
    m_general->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_general->setVerticalSpacing(3);
    const QList<std::tuple<QString, QString, QString>> rows = {
        {QStringLiteral("lblCategory"), QStringLiteral("dbtCategory"), Contact::Category},
        {QStringLiteral("lblContact1"), QStringLiteral("dbtFirstName"), Contact::FirstName},
        {QStringLiteral("lblContact2"), QStringLiteral("dbtContact"), Contact::ContactField},
        {QStringLiteral("lblPhone"), QStringLiteral("dbtHomePhone"), Contact::HomePhone},
        {QStringLiteral("lblWork"), QStringLiteral("dbtBusinessPhone"), Contact::BusinessPhone},
        {QStringLiteral("lblFax"), QStringLiteral("dbtFax"), Contact::Fax},
        {QStringLiteral("lblOther"), QStringLiteral("dbtAlternatePhone"), Contact::AlternatePhone},
    };
    const QStringList texts = {QStringLiteral("Category"), QStringLiteral("Contact 1"), QStringLiteral("Company"),
                               QStringLiteral("Phone"),    QStringLiteral("Work"),      QStringLiteral("Fax"),
                               QStringLiteral("Other")};
    for (int i = 0; i < rows.size(); ++i) {
        const auto& [captionName, valueName, field] = rows.at(i);
        m_rowCaption[i + 1] = caption(captionName, texts.at(i));
        m_general->addRow(m_rowCaption[i + 1], value(valueName, field));
    }
    return page;
}

QWidget* DetailPane::buildAddresses() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabAddresses"));
    auto* v = new QVBoxLayout(page);
    v->setSpacing(3);
    v->addWidget(caption(QStringLiteral("lblPostal"), QStringLiteral("Postal")));
    v->addWidget(value(QStringLiteral("dbtAddressOne"), Contact::AddressOne));
    v->addWidget(value(QStringLiteral("dbtAddressTwo"), Contact::AddressTwo));
    auto* cityLine = new QHBoxLayout;
    cityLine->setSpacing(8);
    cityLine->addWidget(value(QStringLiteral("dbtCity"), Contact::City));
    cityLine->addWidget(value(QStringLiteral("dbtState"), Contact::State));
    cityLine->addWidget(value(QStringLiteral("dbtZip"), Contact::Zip));
    cityLine->addWidget(value(QStringLiteral("dbtCountry"), Contact::Country));
    cityLine->addStretch(1);
    v->addLayout(cityLine);
    v->addSpacing(6);
    v->addWidget(caption(QStringLiteral("lblEmail"), QStringLiteral("Email")));
    m_email = link(QStringLiteral("dbtEmail"), Contact::EMail);
    connect(m_email, &LinkLabel::clicked, this, &DetailPane::emailClicked);
    v->addWidget(m_email);
    v->addStretch(1);
    return page;
}

QWidget* DetailPane::buildNotes() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabNotes"));
    auto* v = new QVBoxLayout(page);
    m_notes = new QPlainTextEdit;
    m_notes->setObjectName(QStringLiteral("memNotes"));
    m_notes->setReadOnly(true);
    m_notes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The notes take the room the other tabs need, no more.
    m_notes->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    v->addWidget(m_notes);
    return page;
}

QWidget* DetailPane::buildMisc() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tabMisc"));
    auto* form = new QFormLayout(page);
    form->setVerticalSpacing(3);
    m_webSite = link(QStringLiteral("dbtUser1"), Contact::User1);
    connect(m_webSite, &LinkLabel::clicked, this, &DetailPane::webSiteClicked);
    form->addRow(caption(QStringLiteral("lblWebSite"), QStringLiteral("Web Site")), m_webSite);
    form->addRow(caption(QStringLiteral("lblBirthdate"), QStringLiteral("Birthdate")),
                 value(QStringLiteral("dbtUser2"), Contact::User2));
    form->addRow(caption(QStringLiteral("lblNextMeeting"), QStringLiteral("Next Meeting")),
                 value(QStringLiteral("dbtUser3"), Contact::User3));
    return page;
}

void DetailPane::showValues(const QHash<QString, QString>& values) {
    for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
        it.value()->setText(values.value(it.key()));
    const QString notes = values.value(Contact::Notes);
    if (m_notes->toPlainText() != notes)
        m_notes->setPlainText(notes);
}

void DetailPane::setBusinessLabels(bool business) {
    m_rowCaption[3]->setText(business ? QStringLiteral("Contact 2") : QStringLiteral("Company"));
    m_rowCaption[4]->setText(QStringLiteral("Phone"));
    m_rowCaption[5]->setText(business ? QStringLiteral("Data") : QStringLiteral("Work"));
    m_general->setRowVisible(1, business);
}

QString DetailPane::emailText() const { return m_email->text(); }

QString DetailPane::webSiteText() const { return m_webSite->text(); }

} // namespace ks
