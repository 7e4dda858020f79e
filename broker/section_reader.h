// The tagged answers of the server's database procedures. An answer is a list of lines; some
// are marker lines ("[Data]", "[BEGIN_diERRORS]", ...) that open a section, the others are
// content lines belonging to the section opened last. Which markers count, and which section
// each opens, differs from one procedure to the next, so every caller declares its own set:
//
//     static const SectionMarkers kMarkers = {{kDataMarker, Section::Data},
//                                             {kBeginDataMarker, Section::Data},
//                                             {kEndDataMarker, Section::None},
//                                             {kBeginErrorsMarker, Section::Errors}};
//     const SectionedAnswer answer = ReadSections(broker.Results, kMarkers);
//     text = answer.Joined(Section::Data);
//
// A line that is not in the caller's set is a content line, even when it looks like a marker
// of another procedure.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#pragma GCC visibility push(default)
namespace vorn {

// What the content lines after a marker are. `None` is the state before the first marker and
// after a closing marker such as "[END_diDATA]": its lines are usually ignored.
enum class Section { None = 0, Data, Errors, Misc, Help };
inline constexpr int kSectionCount = 5;

// The marker lines the server uses.
inline const QString kDataMarker = QStringLiteral("[Data]");
inline const QString kBeginDataMarker = QStringLiteral("[BEGIN_diDATA]");
inline const QString kEndDataMarker = QStringLiteral("[END_diDATA]");
inline const QString kErrorsMarker = QStringLiteral("[Errors]");
inline const QString kBeginErrorsMarker = QStringLiteral("[BEGIN_diERRORS]");
inline const QString kMiscMarker = QStringLiteral("[Misc]");
inline const QString kBeginHelpMarker = QStringLiteral("[BEGIN_diHELP]");
inline const QString kEndHelpMarker = QStringLiteral("[END_diHELP]");

// A caller's markers and the section each opens.
class SectionMarkers {
  public:
    SectionMarkers() = default;
    SectionMarkers(std::initializer_list<std::pair<QString, Section>> markers);

    // `marker` opens `section` (Section::None closes whatever section is open). Declaring a
    // marker again gives it the new section.
    SectionMarkers& Add(const QString& marker, Section section);
    // The section that `line` opens when it is one of the markers. Lines are compared whole,
    // case-sensitively and without trimming: " [Data]" and "[data]" are content lines.
    std::optional<Section> Opens(QStringView line) const;
    bool IsEmpty() const { return markers_.empty(); }

  private:
    std::vector<std::pair<QString, Section>> markers_;
};

// A walk through an answer, one content line at a time, for callers that need the order of
// the lines or their positions.
class SectionReader {
  public:
    // Starts before line `from` of `lines`, in `initial` section.
    SectionReader(QStringList lines, const SectionMarkers& markers, qsizetype from = 0,
                  Section initial = Section::None);

    // Moves to the next content line; the marker lines on the way switch the section.
    // False at the end of the answer.
    bool Next();
    // Moves to the very next line, marker or not, without switching the section: for bodies
    // that are read to an end line of their own (word-processing text up to "$$END$$") and
    // may hold marker-like lines. False at the end of the answer.
    bool NextRaw();

    // The section of the current line.
    Section CurrentSection() const { return section_; }
    // The current line (empty before the first move and at the end).
    const QString& Line() const;
    // Position of the current line in the answer (from 0).
    qsizetype Index() const { return index_; }
    bool AtEnd() const { return index_ >= lines_.size(); }

  private:
    QStringList lines_;
    SectionMarkers markers_;
    qsizetype index_;
    Section section_;
};

// The content lines of an answer gathered by section, in answer order.
class SectionedAnswer {
  public:
    const QStringList& Lines(Section section) const { return lines_[Slot(section)]; }
    // The section's lines concatenated without separator.
    QString Joined(Section section) const { return lines_[Slot(section)].join(QString()); }
    // True when a marker opening `section` appeared, even if no line followed it.
    bool Opened(Section section) const { return opened_[Slot(section)]; }
    bool IsEmpty(Section section) const { return lines_[Slot(section)].isEmpty(); }

  private:
    friend SectionedAnswer ReadSections(const QStringList&, const SectionMarkers&, qsizetype);
    static std::size_t Slot(Section section) { return static_cast<std::size_t>(section); }

    std::array<QStringList, kSectionCount> lines_;
    std::array<bool, kSectionCount> opened_{};
};

// Reads the answer `lines` from line `from` on (earlier lines are not looked at).
SectionedAnswer ReadSections(const QStringList& lines, const SectionMarkers& markers,
                             qsizetype from = 0);

}  // namespace vorn

#pragma GCC visibility pop
