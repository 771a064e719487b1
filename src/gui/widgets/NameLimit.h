#pragma once

#include <QValidator>

#include <functional>

class QLabel;
class QLineEdit;

// Stops the text of a box where the name in it would no longer be kept whole
// (a rate name longer than the call log keeps), and says so: a note under the
// box, which is also the box's description for a screen reader. What is typed
// or pasted is taken as far as it fits. An inner validator, if any, judges
// the characters first.
class NameLimit : public QValidator {
    Q_OBJECT
public:
    static inline const QString RateNameRule =
        QStringLiteral("the call log keeps 30 characters of a rate name (fewer in some alphabets)");
    static inline const QString RateNameNote = QStringLiteral("The name is full: ") + RateNameRule + '.';

    using Rule = std::function<bool(const QString& name)>;
    using NameOf = std::function<QString(const QString& text)>;

    // keepsWhole judges a name; nameOf takes the name out of the box's text
    // (by default the whole text is the name). The note is hidden until needed.
    NameLimit(QLineEdit* box, QLabel* note, Rule keepsWhole, NameOf nameOf = {},
              const QValidator* inner = nullptr);

    State validate(QString& input, int& pos) const override;

private:
    bool fits(const QString& text) const;
    void showNote();

    QLineEdit* m_box;
    QLabel* m_note;
    Rule m_keepsWhole;
    NameOf m_nameOf;
    const QValidator* m_inner;
    QString m_before;               // the text before the change being judged
    mutable bool m_stopped = false; // the last change was cut or refused
};
