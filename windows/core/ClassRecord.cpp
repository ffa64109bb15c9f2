#include "windows/core/ClassRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "main/core/Settings.h"
#include "main/core/UntrustedFiles.h"

namespace {
std::string csvField(std::string text) {
    // A cell a spreadsheet would run as a formula is kept as text.
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
        text.insert(0, 1, '\'');
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

void addInto(FactRecord& merged, const FactRecord& one) {
    for (int q = 0; q < kFactsRecorded; ++q) {
        FactHistory& m = merged.facts[size_t(q)];
        const FactHistory& h = one.facts[size_t(q)];
        m.asked += h.asked;
        m.right += h.right;
        // The class's map weighs every child's recent answers alike.
        m.recent.insert(m.recent.end(), h.recent.begin(), h.recent.end());
    }
}
}  // namespace

ClassChild childOf(const std::string& name, const ChildMerge& m) {
    ClassChild child;
    child.name = name;
    StudyState st;
    passesInto(st, m.passes);
    if (!m.refused.empty()) child.fault = "つかえません：" + m.refused;
    else if (!m.unreadable.empty()) child.fault = "読めません：" + m.unreadable;
    else if (!m.settingsFound) child.fault = "設定ファイルがまだありません";
    else if (!m.passTableWhole) child.fault = "設定ファイルの合格表が読めません";
    else if (m.recordFound && !m.recordWhole) child.fault = "にがて九九の記録の一部が読めません";
    if (!child.fault.empty()) child.state = ClassChild::State::Damaged;
    child.grid = gridFromPasses(st);
    child.rank = runCheck(child.grid);
    child.record = m.record;
    child.arriving = m.arriving;
    return child;
}

ClassView readClassFolder(const std::string& folder, const ClassReadProgress& progress) {
    ClassView view;
    const QDir dir(QString::fromStdString(folder));
    // Links are listed to be told, never followed; plain files are not children.
    std::vector<std::string> names;
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        // A sync engine's own folders and leftovers, and the leases, are not children.
        if (name.startsWith('.') || untrusted::syncLeftover(name.toStdString())) continue;
        const std::string path = dir.filePath(name).toStdString();
        if (!untrusted::whyRefused(path, true).empty() && !QFileInfo(dir.filePath(name)).isSymLink()) continue;
        names.push_back(name.toStdString());
    }
    const std::vector<std::string> shown = untrusted::markedNames(names);
    const int total = int(names.size());
    view.children.reserve(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        if (progress && !progress(int(i), total)) break;
        view.children.push_back(childOf(shown[i], readChildFolder(dir.filePath(QString::fromStdString(names[i])).toStdString() + "/")));
        addInto(view.merged, view.children.back().record);
    }
    if (progress) progress(int(view.children.size()), total);
    return view;
}

std::string classCsv(const ClassView& view) {
    const CheckGrid names = gridFromPasses(StudyState{});
    std::string out = "\xEF\xBB\xBF" "なまえ,じょうたい,しかく";
    for (int r = 1; r <= kClassRanges; ++r)
        for (int c = 1; c <= kClassOrders; ++c) out += "," + csvField(names.at(0, r) + " " + names.at(c, 0));
    out += "\r\n";
    for (const ClassChild& child : view.children) {
        out += csvField(child.name) + "," + (child.state == ClassChild::State::Whole ? "" : csvField(child.fault)) + ",";
        out += child.rank == Rank::None ? "" : (child.rank == Rank::Master ? "九九術マスター" : "九九術免許皆伝");
        for (int r = 1; r <= kClassRanges; ++r)
            for (int c = 1; c <= kClassOrders; ++c) out += "," + child.grid.at(c, r);
        out += "\r\n";
    }
    return out;
}
