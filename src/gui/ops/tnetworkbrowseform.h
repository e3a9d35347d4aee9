#pragma once

#include "ops/networkbrowser.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zentrix {

/// "Map a network disk": a tree of what gio sees on the network (servers, and
/// below each server its shares, read when it is opened) and an address box
/// that takes the chosen place or a typed address (smb://, sftp://, dav://
/// ...). Listings run on worker threads, so that a server that does not
/// answer never stops the window.
class TNetworkBrowseForm : public QDialog {
    Q_OBJECT
public:
    explicit TNetworkBrowseForm(QWidget* parent = nullptr);

    /// Opens the dialog over `parent`, modally; the address on OK, none when
    /// cancelled.
    static std::optional<std::string> Execute(QWidget* parent);

    QTreeWidget* tvNetwork = nullptr;
    QLabel* lbNetworkStatus = nullptr;
    QLineEdit* edAddress = nullptr;
    QPushButton* bbOK = nullptr;
    QPushButton* bbCancel = nullptr;

    /// The address as it stands in the box.
    std::string address() const;

signals:
    /// A listing has been shown (the network's top when `uri` is empty).
    void listed(const QString& uri);

private:
    void startListing(QTreeWidgetItem* parentItem, const std::string& uri);
    void showListing(QTreeWidgetItem* parentItem, const QString& uri,
                     const NetworkListing& listing);
    void tvNetworkItemExpanded(QTreeWidgetItem* item);
    void tvNetworkCurrentChanged(QTreeWidgetItem* item);
    void tvNetworkDoubleClicked(QTreeWidgetItem* item);
};

} // namespace zentrix
