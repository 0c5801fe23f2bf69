#include "settings/AlarmBoxes.h"

#include <array>

namespace {

using C = AlarmCondition;
using R = AlarmReaction;
constexpr R L = R::Log, Y = R::Yellow, Rd = R::Red, PW = R::PlayWav, M1 = R::Email1, M2 = R::Email2,
            M3 = R::Email3, CH = R::Chat;

} // namespace

const QList<AlarmBox>& AlarmBoxes::first() {
    static const QList<AlarmBox> boxes = {
        {"CheckBoxNEL", C::NoError, L, false},         {"CheckBoxSL", C::SlowAccess, L, true},
        {"CheckBoxTOL", C::TimeOut, L, true},          {"CheckBoxPNFL", C::PageNotFound, L, true},
        {"CheckBoxHNFL", C::HostNotFound, L, true},    {"CheckBoxSM1", C::SlowAccess, M1, false},
        {"CheckBoxTOM1", C::TimeOut, M1, false},       {"CheckBoxPNFM1", C::PageNotFound, M1, false},
        {"CheckBoxHNFM1", C::HostNotFound, M1, false}, {"CheckBoxTOY", C::TimeOut, Y, false},
        {"CheckBoxSY", C::SlowAccess, Y, true},        {"CheckBoxPNFY", C::PageNotFound, Y, false},
        {"CheckBoxHNFY", C::HostNotFound, Y, false},   {"CheckBoxTOR", C::TimeOut, Rd, true},
        {"CheckBoxSR", C::SlowAccess, Rd, false},      {"CheckBoxPNFR", C::PageNotFound, Rd, true},
        {"CheckBoxHNFR", C::HostNotFound, Rd, true},   {"CheckBoxSM2", C::SlowAccess, M2, false},
        {"CheckBoxTOM2", C::TimeOut, M2, false},       {"CheckBoxPNFM2", C::PageNotFound, M2, false},
        {"CheckBoxHNFM2", C::HostNotFound, M2, false}, {"CheckBoxSM3", C::SlowAccess, M3, false},
        {"CheckBoxTOM3", C::TimeOut, M3, false},       {"CheckBoxPNFM3", C::PageNotFound, M3, false},
        {"CheckBoxHNFM3", C::HostNotFound, M3, false},
    };
    return boxes;
}

const QList<AlarmBox>& AlarmBoxes::playWav() {
    static const QList<AlarmBox> boxes = {
        {"CheckBoxSPW", C::SlowAccess, PW, false},
        {"CheckBoxTOPW", C::TimeOut, PW, false},
        {"CheckBoxPNFPW", C::PageNotFound, PW, true},
        {"CheckBoxHNFPW", C::HostNotFound, PW, true},
    };
    return boxes;
}

const QList<AlarmBox>& AlarmBoxes::changes() {
    static const QList<AlarmBox> boxes = {
        {"CheckBoxSCL", C::SizeChanged, L, true},          {"CheckBoxSCY", C::SizeChanged, Y, true},
        {"CheckBoxSCR", C::SizeChanged, Rd, false},        {"CheckBoxSCPW", C::SizeChanged, PW, true},
        {"CheckBoxSCM1", C::SizeChanged, M1, false},       {"CheckBoxSCM2", C::SizeChanged, M2, false},
        {"CheckBoxSCM3", C::SizeChanged, M3, false},       {"CheckBoxSiCL", C::SignatureChanged, L, true},
        {"CheckBoxSiCY", C::SignatureChanged, Y, true},    {"CheckBoxSiCR", C::SignatureChanged, Rd, false},
        {"CheckBoxSiCPW", C::SignatureChanged, PW, true},  {"CheckBoxSiCM1", C::SignatureChanged, M1, false},
        {"CheckBoxSiCM2", C::SignatureChanged, M2, false}, {"CheckBoxSiCM3", C::SignatureChanged, M3, false},
        {"CheckBoxDaCL", C::DateChanged, L, true},         {"CheckBoxDaCY", C::DateChanged, Y, true},
        {"CheckBoxDaCR", C::DateChanged, Rd, false},       {"CheckBoxDaCPW", C::DateChanged, PW, true},
        {"CheckBoxDaCM1", C::DateChanged, M1, false},      {"CheckBoxDaCM2", C::DateChanged, M2, false},
        {"CheckBoxDaCM3", C::DateChanged, M3, false},
    };
    return boxes;
}

const QList<AlarmBox>& AlarmBoxes::later() {
    static const QList<AlarmBox> boxes = {
        {"CheckBoxCFL", C::ConnectionFailed, L, true},
        {"CheckBoxCFY", C::ConnectionFailed, Y, false},
        {"CheckBoxCFR", C::ConnectionFailed, Rd, true},
        {"CheckBoxCFPW", C::ConnectionFailed, PW, true},
        {"CheckBoxCFM1", C::ConnectionFailed, M1, false},
        {"CheckBoxCFM2", C::ConnectionFailed, M2, false},
        {"CheckBoxCFM3", C::ConnectionFailed, M3, false},
        {"CheckBoxCEL", C::CertificateExpiring, L, true},
        {"CheckBoxCEY", C::CertificateExpiring, Y, true},
        {"CheckBoxCER", C::CertificateExpiring, Rd, false},
        {"CheckBoxCEPW", C::CertificateExpiring, PW, false},
        {"CheckBoxCEM1", C::CertificateExpiring, M1, false},
        {"CheckBoxCEM2", C::CertificateExpiring, M2, false},
        {"CheckBoxCEM3", C::CertificateExpiring, M3, false},
        {"CheckBoxRCL", C::Recovered, L, true},
        {"CheckBoxRCM1", C::Recovered, M1, false},
        {"CheckBoxRCM2", C::Recovered, M2, false},
        {"CheckBoxRCM3", C::Recovered, M3, false},
        {"CheckBoxCKL", C::ContentCheckFailed, L, true},
        {"CheckBoxCKY", C::ContentCheckFailed, Y, false},
        {"CheckBoxCKR", C::ContentCheckFailed, Rd, true},
        {"CheckBoxCKPW", C::ContentCheckFailed, PW, true},
        {"CheckBoxCKM1", C::ContentCheckFailed, M1, false},
        {"CheckBoxCKM2", C::ContentCheckFailed, M2, false},
        {"CheckBoxCKM3", C::ContentCheckFailed, M3, false},
    };
    return boxes;
}

const QList<AlarmBox>& AlarmBoxes::chat() {
    static const QList<AlarmBox> boxes = {
        {"CheckBoxNEChat", C::NoError, CH, false},
        {"CheckBoxSChat", C::SlowAccess, CH, false},
        {"CheckBoxTOChat", C::TimeOut, CH, false},
        {"CheckBoxPNFChat", C::PageNotFound, CH, false},
        {"CheckBoxHNFChat", C::HostNotFound, CH, false},
        {"CheckBoxSCChat", C::SizeChanged, CH, false},
        {"CheckBoxSiCChat", C::SignatureChanged, CH, false},
        {"CheckBoxDaCChat", C::DateChanged, CH, false},
        {"CheckBoxCFChat", C::ConnectionFailed, CH, false},
        {"CheckBoxCEChat", C::CertificateExpiring, CH, false},
        {"CheckBoxRCChat", C::Recovered, CH, false},
        {"CheckBoxCKChat", C::ContentCheckFailed, CH, false},
    };
    return boxes;
}

const AlarmBox* AlarmBoxes::find(AlarmCondition condition, AlarmReaction reaction) {
    static const auto matrix = [] {
        std::array<std::array<const AlarmBox*, AlarmReactionCount>, AlarmConditionCount> cells{};
        for (const QList<AlarmBox>* group : {&first(), &playWav(), &changes(), &later(), &chat()})
            for (const AlarmBox& box : *group)
                cells[std::size_t(box.condition)][std::size_t(box.reaction)] = &box;
        return cells;
    }();
    return matrix[std::size_t(condition)][std::size_t(reaction)];
}
