// The entries of Tools.so: the system information and CD browser windows.
// Every entry catches everything: no exception goes back through a C call.

#include "gui/controls/plainmessagebox.h"
#include "pluginapi/pluginapi.h"
#include "systemreport.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

namespace {

const ZxHost* g_host = nullptr;

QWidget* ownerWidget(void* owner) {
    return static_cast<QWidget*>(owner);
}

template <class Body> void guarded(Body&& body) noexcept {
    try {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            body();
    } catch (const std::exception& e) {
        try {
            zentrix::PlainMessageBox(nullptr, QMessageBox::Critical, "Error",
                                     QString::fromUtf8(e.what()));
        } catch (...) {
        }
    } catch (...) {
    }
}

QString q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

/// The CD browser: a CD-ROM drive (or an image file) and its disc information.
class CDBrowserForm : public QDialog {
public:
    explicit CDBrowserForm(QWidget* parent) : QDialog(parent) {
        setObjectName("TCDBrowserForm");
        setWindowTitle("CD Browser");
        auto* layout = new QVBoxLayout(this);
        auto* top = new QHBoxLayout;
        m_drives = new QComboBox(this);
        m_drives->setObjectName("cbCDDrives");
        m_drives->setAccessibleName("CD-ROM drive");
        top->addWidget(new QLabel("&Drive:", this));
        top->addWidget(m_drives, 1);
        auto* image = new QPushButton("&Image file ...", this);
        image->setObjectName("btnImageFile");
        top->addWidget(image);
        layout->addLayout(top);
        auto* form = new QFormLayout;
        const char* captions[] = {
            "Volume",      "System",         "Volume set",    "Publisher",          "Data preparer",
            "Application", "Copyright file", "Abstract file", "Bibliographic file", "Created",
            "Modified",    "Expires",        "Effective"};
        for (const char* caption : captions) {
            auto* value = new QLabel(this);
            value->setTextInteractionFlags(Qt::TextSelectableByMouse);
            value->setObjectName(QString("lb") + QString(caption).remove(' '));
            form->addRow(QString(caption) + ":", value);
            m_values.push_back(value);
        }
        layout->addLayout(form);
        m_state = new QLabel(this);
        m_state->setObjectName("lbDiscState");
        layout->addWidget(m_state);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(buttons);
        if (g_host && g_host->queryVolume) {
            for (char letter = 'A'; letter <= 'Z'; ++letter) {
                ZxVolumeFacts facts{};
                facts.structSize = sizeof facts;
                if (!g_host->queryVolume(static_cast<uint32_t>(letter), &facts))
                    continue;
                if (std::string(facts.kind) != "CD-ROM")
                    continue;
                m_drives->addItem(QString("%1: %2").arg(letter).arg(QString::fromUtf8(facts.label)),
                                  QString::fromUtf8(facts.device));
            }
        }
        connect(m_drives, &QComboBox::currentIndexChanged, this,
                [this] { show(m_drives->currentData().toString()); });
        connect(image, &QPushButton::clicked, this, [this] {
            const QString file = QFileDialog::getOpenFileName(this, "Disc image", QString(),
                                                              "Disc images (*.iso);;All files (*)");
            if (!file.isEmpty())
                show(file);
        });
        if (m_drives->count() > 0)
            show(m_drives->currentData().toString());
        else
            m_state->setText("No CD-ROM drive: choose an image file.");
    }

    void show(const QString& source) {
        const zentrix::tools::DiscInfo info = zentrix::tools::ReadDiscInfo(source.toStdString());
        const std::string fields[] = {info.volume,        info.system,       info.volumeSet,
                                      info.publisher,     info.preparer,     info.application,
                                      info.copyrightFile, info.abstractFile, info.bibliographicFile,
                                      info.created,       info.modified,     info.expires,
                                      info.effective};
        for (size_t i = 0; i < m_values.size(); ++i)
            m_values[i]->setText(q(fields[i]));
        m_state->setText(info.valid ? source : source + ": no disc information can be read.");
    }

private:
    QComboBox* m_drives = nullptr;
    QLabel* m_state = nullptr;
    std::vector<QLabel*> m_values;
};

} // namespace

extern "C" {

ZENTRIX_PLUGIN_EXPORT void ZentrixPluginAttach(const ZxHost* host) {
    g_host = (host && host->structSize >= sizeof(ZxHost) && host->version >= 1) ? host : nullptr;
}

ZENTRIX_PLUGIN_EXPORT void ShowSysInfo(void* owner) {
    guarded([&] {
        QDialog dialog(ownerWidget(owner));
        dialog.setObjectName("TSysInfoForm");
        dialog.setWindowTitle("System Information");
        dialog.resize(560, 400);
        auto* layout = new QVBoxLayout(&dialog);
        auto* text = new QPlainTextEdit(&dialog);
        text->setObjectName("meSysInfo");
        text->setAccessibleName("System information");
        text->setReadOnly(true);
        text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        QStringList lines;
        for (const std::string& line : zentrix::tools::SystemReport())
            lines << q(line);
        text->setPlainText(lines.join('\n'));
        layout->addWidget(text);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        layout->addWidget(buttons);
        dialog.exec();
    });
}

ZENTRIX_PLUGIN_EXPORT void ShowCDBrowser(void* owner) {
    guarded([&] {
        CDBrowserForm form(ownerWidget(owner));
        form.exec();
    });
}

} // extern "C"
