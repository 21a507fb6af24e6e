#include "controls/picture_ex.h"

#include "pictures/gif_frames.h"

#include <QFile>
#include <QPainter>

namespace {

constexpr unsigned kRestoreBackground = 2;
constexpr unsigned kRestorePrevious = 3;

GifBytes BytesOf(const QByteArray& bytes) {
    return GifBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                    static_cast<std::size_t>(bytes.size()));
}

QImage DecodeGif(const std::vector<std::uint8_t>& gif) {
    QImage image;
    image.loadFromData(gif.data(), static_cast<int>(gif.size()), "GIF");
    return image;
}

}  // namespace

CPictureEx::CPictureEx(QWidget* parent) : QWidget(parent) {
    frameTimer.setSingleShot(true);
    connect(&frameTimer, &QTimer::timeout, this, [this] {
        DisposeCurrentFrame();
        NextFrame();
        DrawCurrentFrame();
    });
}

CPictureEx::~CPictureEx() { Clear(); }

bool CPictureEx::LoadFromResource(int number) {
    QFile resource(QStringLiteral(":/pictures/%1.gif").arg(number));
    if (!resource.open(QIODevice::ReadOnly)) return false;
    return LoadFromMemory(resource.readAll());
}

bool CPictureEx::LoadFromMemory(const QByteArray& bytes) {
    Clear();
    const GifBytes data = BytesOf(bytes);
    if (!StartsWithGifSignature(data)) return LoadStill(bytes, nullptr) && CreateCanvas();
    isGif = true;
    const auto screen = ReadGifScreen(data);
    const std::size_t count = CountGifFrames(data);
    if (!screen || count == 0) return false;
    if (count == 1) {
        if (!LoadStill(bytes, "GIF")) return false;
        pictureSize = QSize(screen->width, screen->height);  // the logical screen, always
    } else {
        pictureSize = QSize(screen->width, screen->height);
        if (!LoadFrames(bytes)) return false;
    }
    return CreateCanvas();
}

bool CPictureEx::LoadStill(const QByteArray& bytes, const char* format) {
    if (!still.loadFromData(bytes, format)) return false;
    pictureSize = still.size();
    return true;
}

// Frames that do not decode are left out of the animation.
bool CPictureEx::LoadFrames(const QByteArray& bytes) {
    for (GifFrame& split : SplitGifFrames(BytesOf(bytes))) {
        QImage picture = DecodeGif(split.gif);
        if (picture.isNull()) continue;
        frames.push_back(Frame{std::move(picture), split.left, split.top, split.width,
                               split.height, split.delay, split.disposal});
    }
    return !frames.empty();
}

bool CPictureEx::CreateCanvas() {
    if (pictureSize.isEmpty()) return false;
    resize(pictureSize);
    canvas = QImage(pictureSize, QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull()) return false;
    background = palette().color(QPalette::Button);
    canvas.fill(palette().color(QPalette::Window));
    canvasReady = true;
    return true;
}

bool CPictureEx::Show() {
    if (!canvasReady) return false;
    if (isGif && frames.size() > 1) {
        if (!playing) {
            playing = true;
            DisposeCurrentFrame();  // it may still show from before a stop
            DrawCurrentFrame();
        }
        return false;
    }
    if (still.isNull()) return false;
    QPainter painter(&canvas);
    painter.drawImage(QRect(QPoint(0, 0), pictureSize), still);
    update();
    return true;
}

void CPictureEx::DrawCurrentFrame() {
    const Frame& frame = frames[currentFrame];
    const QRect area(frame.left, frame.top, frame.width, frame.height);
    if (frame.disposal == kRestorePrevious) savedArea = canvas.copy(area);
    QPainter painter(&canvas);
    // The decoder gives the frame on its logical screen; only the frame's
    // own rectangle is ours to draw, its transparent pixels let the canvas
    // show through.
    if (frame.picture.size() == area.size()) {
        painter.drawImage(area.topLeft(), frame.picture);
    } else {
        painter.drawImage(area, frame.picture, area);
    }
    painter.end();
    update();
    frameTimer.start(static_cast<int>(GifFrameDelayMs(frame.delay)));
}

void CPictureEx::DisposeCurrentFrame() {
    const Frame& frame = frames[currentFrame];
    const QRect area(frame.left, frame.top, frame.width, frame.height);
    if (frame.disposal == kRestoreBackground) {
        QPainter(&canvas).fillRect(area, background);
    } else if (frame.disposal == kRestorePrevious && !savedArea.isNull()) {
        QPainter painter(&canvas);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(area.topLeft(), savedArea);
        savedArea = QImage();
    }
}

void CPictureEx::NextFrame() {
    if (++currentFrame < frames.size()) return;
    currentFrame = 0;
    canvas.fill(background);
}

void CPictureEx::StopAnimation() {
    frameTimer.stop();
    playing = false;
}

void CPictureEx::Clear() {
    StopAnimation();
    still = QImage();
    frames.clear();
    canvas = QImage();
    savedArea = QImage();
    pictureSize = QSize();
    currentFrame = 0;
    isGif = false;
    canvasReady = false;
    background = Qt::white;
}

void CPictureEx::paintEvent(QPaintEvent*) {
    if (!canvasReady) return;
    QPainter(this).drawImage(0, 0, canvas);
}
