#include "broker/section_reader.h"

namespace vorn {

SectionMarkers::SectionMarkers(std::initializer_list<std::pair<QString, Section>> markers) {
    for (const auto& [marker, section] : markers)
        Add(marker, section);
}

SectionMarkers& SectionMarkers::Add(const QString& marker, Section section) {
    for (auto& entry : markers_) {
        if (entry.first == marker) {
            entry.second = section;
            return *this;
        }
    }
    markers_.emplace_back(marker, section);
    return *this;
}

std::optional<Section> SectionMarkers::Opens(QStringView line) const {
    for (const auto& [marker, section] : markers_)
        if (line == marker) return section;
    return std::nullopt;
}

SectionReader::SectionReader(QStringList lines, const SectionMarkers& markers, qsizetype from,
                             Section initial)
    : lines_(std::move(lines)),
      markers_(markers),
      index_(from < 0 ? -1 : from - 1),
      section_(initial) {}

bool SectionReader::Next() {
    while (NextRaw()) {
        const std::optional<Section> opens = markers_.Opens(lines_[index_]);
        if (!opens) return true;
        section_ = *opens;
    }
    return false;
}

bool SectionReader::NextRaw() {
    if (index_ < lines_.size()) ++index_;
    return index_ < lines_.size();
}

const QString& SectionReader::Line() const {
    static const QString kNone;
    return index_ >= 0 && index_ < lines_.size() ? lines_[index_] : kNone;
}

SectionedAnswer ReadSections(const QStringList& lines, const SectionMarkers& markers,
                             qsizetype from) {
    SectionedAnswer answer;
    Section section = Section::None;
    for (qsizetype i = from < 0 ? 0 : from; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (const std::optional<Section> opens = markers.Opens(line)) {
            section = *opens;
            answer.opened_[SectionedAnswer::Slot(section)] = true;
            continue;
        }
        answer.lines_[SectionedAnswer::Slot(section)].append(line);
    }
    return answer;
}

}  // namespace vorn
