#include "gui/view/tgifform.h"

#include "gui/controls/a11y.h"

#include <QLabel>
#include <QMovie>
#include <QVBoxLayout>

namespace zentrix {

TGifForm::TGifForm(QWidget* parent) : QDialog(parent) {
    setObjectName("TGifForm");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_label = new QLabel(this);
    NameComponent(m_label, "imgGif", "Picture");
    m_label->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_label);
}

bool TGifForm::Load(const QString& hostPath) {
    auto* movie = new QMovie(hostPath, QByteArray(), this);
    if (!movie->isValid() || movie->frameCount() == 0 || !movie->jumpToFrame(0)) {
        delete movie;
        return false;
    }
    m_movie = movie;
    m_label->setMovie(movie);
    const QSize size = movie->currentImage().size();
    m_label->setMinimumSize(size);
    adjustSize();
    movie->start();
    return true;
}

} // namespace zentrix
