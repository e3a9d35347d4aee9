#include "gui/ops/tnetworkbrowseform.h"

#include "gui/controls/a11y.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zentrix {
namespace {

constexpr int kLocationRole = Qt::UserRole;
constexpr int kListedRole = Qt::UserRole + 1;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

TNetworkBrowseForm::TNetworkBrowseForm(QWidget* parent) : QDialog(parent) {
    setObjectName("TNetworkBrowseForm");
    setWindowTitle("Map a network disk");
    auto* layout = new QVBoxLayout(this);

    auto* prompt = new QLabel("Choose a shared disk, or type its address:", this);
    layout->addWidget(prompt);
    tvNetwork = new QTreeWidget(this);
    NameComponent(tvNetwork, "tvNetwork", "Network");
    tvNetwork->setHeaderLabels({"Name", "Address"});
    tvNetwork->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tvNetwork->setMinimumSize(460, 260);
    prompt->setBuddy(tvNetwork);
    layout->addWidget(tvNetwork, 1);

    lbNetworkStatus = new QLabel(this);
    NameValueLabel(lbNetworkStatus, "lbNetworkStatus", QString());
    lbNetworkStatus->setWordWrap(true);
    layout->addWidget(lbNetworkStatus);

    auto* addressLabel =
        new QLabel("&Address (smb://server/share, sftp://host/dir, dav://host/dir):", this);
    layout->addWidget(addressLabel);
    edAddress = new QLineEdit(this);
    NameComponent(edAddress, "edAddress", "Address");
    addressLabel->setBuddy(edAddress);
    layout->addWidget(edAddress);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    bbOK = buttons->button(QDialogButtonBox::Ok);
    bbCancel = buttons->button(QDialogButtonBox::Cancel);
    NameComponent(bbOK, "bbOK", "OK");
    NameComponent(bbCancel, "bbCancel", "Cancel");
    bbOK->setEnabled(false);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(edAddress, &QLineEdit::textChanged, this,
            [this](const QString& text) { bbOK->setEnabled(!text.trimmed().isEmpty()); });
    connect(tvNetwork, &QTreeWidget::itemExpanded, this,
            &TNetworkBrowseForm::tvNetworkItemExpanded);
    connect(tvNetwork, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { tvNetworkCurrentChanged(item); });
    connect(tvNetwork, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { tvNetworkDoubleClicked(item); });

    startListing(nullptr, std::string());
}

std::optional<std::string> TNetworkBrowseForm::Execute(QWidget* parent) {
    TNetworkBrowseForm form(parent);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.address();
}

std::string TNetworkBrowseForm::address() const {
    return edAddress->text().trimmed().toStdString();
}

void TNetworkBrowseForm::startListing(QTreeWidgetItem* parentItem, const std::string& uri) {
    if (!parentItem)
        lbNetworkStatus->setText("Reading the network ...");
    auto result = std::make_shared<NetworkListing>();
    // The thread owns nothing of the window: when the window has gone by the
    // time gio answers, the answer is dropped with the connection.
    QThread* worker = QThread::create([uri, result] {
        *result = uri.empty() ? NetworkBrowser::ListRoot() : NetworkBrowser::List(uri);
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &QThread::finished, this,
            [this, parentItem, uri, result] { showListing(parentItem, q(uri), *result); });
    worker->start();
}

void TNetworkBrowseForm::showListing(QTreeWidgetItem* parentItem, const QString& uri,
                                     const NetworkListing& listing) {
    if (parentItem)
        qDeleteAll(parentItem->takeChildren()); // the "Reading ..." line
    lbNetworkStatus->setText(q(listing.error));
    for (const NetworkEntry& entry : listing.entries) {
        auto* item = new QTreeWidgetItem({q(entry.name), q(entry.Location())});
        item->setData(0, kLocationRole, q(entry.Location()));
        item->setToolTip(0, q(entry.Location()));
        if (NetworkBrowser::CanOpen(entry.Location()))
            item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        if (parentItem)
            parentItem->addChild(item);
        else
            tvNetwork->addTopLevelItem(item);
    }
    if (parentItem && listing.entries.empty())
        parentItem->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    if (!parentItem && tvNetwork->topLevelItemCount() > 0 && !tvNetwork->currentItem())
        tvNetwork->setCurrentItem(tvNetwork->topLevelItem(0));
    emit listed(uri);
}

void TNetworkBrowseForm::tvNetworkItemExpanded(QTreeWidgetItem* item) {
    if (item->data(0, kListedRole).toBool())
        return;
    item->setData(0, kListedRole, true);
    item->addChild(new QTreeWidgetItem({"Reading ..."}));
    startListing(item, item->data(0, kLocationRole).toString().toStdString());
}

void TNetworkBrowseForm::tvNetworkCurrentChanged(QTreeWidgetItem* item) {
    const QString location = item ? item->data(0, kLocationRole).toString() : QString();
    if (!location.isEmpty())
        edAddress->setText(location);
}

void TNetworkBrowseForm::tvNetworkDoubleClicked(QTreeWidgetItem* item) {
    const QString location = item->data(0, kLocationRole).toString();
    // A server opens (the tree does that); a share is the choice.
    if (!location.isEmpty() && !NetworkBrowser::CanOpen(location.toStdString())) {
        edAddress->setText(location);
        accept();
    }
}

} // namespace zentrix
