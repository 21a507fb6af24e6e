#pragma once
// A picture from the program's resources: a still image, or an animated GIF
// played frame by frame with each frame's delay and disposal method. The
// control draws into a canvas of the picture's size and copies it to the
// screen when painted.

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <vector>

class CPictureEx : public QWidget {
public:
    struct Frame {
        QImage picture;  // the decoded one-frame GIF
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        unsigned delay = 0;  // hundredths of a second
        unsigned disposal = 0;
    };

    explicit CPictureEx(QWidget* parent = nullptr);
    ~CPictureEx() override;

    // Pictures are compiled in as ":/pictures/<number>.gif".
    bool LoadFromResource(int number);
    // On success the control has the picture's size and its canvas exists.
    bool LoadFromMemory(const QByteArray& bytes);
    // Starts the animation of a GIF with several frames (false), otherwise
    // draws the still picture (true when it was drawn).
    bool Show();
    // Pauses at the frame showing; the next Show resumes there.
    void StopAnimation();
    // Back to empty: no picture, no frames, no canvas.
    void Clear();

    const std::vector<Frame>& Frames() const { return frames; }
    const QImage& Canvas() const { return canvas; }
    QSize PictureSize() const { return pictureSize; }
    QColor BackgroundColor() const { return background; }
    unsigned CurrentFrame() const { return currentFrame; }
    bool IsGif() const { return isGif; }
    bool IsPlaying() const { return playing; }
    bool CanvasReady() const { return canvasReady; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool LoadStill(const QByteArray& bytes, const char* format);
    bool LoadFrames(const QByteArray& bytes);
    bool CreateCanvas();
    void DrawCurrentFrame();
    void DisposeCurrentFrame();
    void NextFrame();

    QSize pictureSize;
    QColor background = Qt::white;
    unsigned currentFrame = 0;
    bool isGif = false;
    bool playing = false;
    bool canvasReady = false;
    QImage canvas;
    QImage savedArea;  // what lay under a frame that asks to be undone
    QImage still;
    std::vector<Frame> frames;
    QTimer frameTimer;
};
