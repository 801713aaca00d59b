#include "resources/Strings.hpp"

#include <array>

namespace quorvel {
namespace {

constexpr std::array<std::string_view, static_cast<std::size_t>(Str::Count_)> kStrings = {
    "Quorvel",  // ProductName
    "Brunmoor",  // Author
    "2",  // VersionMajor
    "1.1",  // VersionMinor
    "%s.%s",  // VersionFormat
    "https://brunmoor.example/quorvel/",  // HomePageUrl
    "brunmoor@quorvel.example",  // MailAddress
    "%d octets de données binaires",  // DataNotice
    "Inconnu",  // Unknown
    "Requis",  // Required
    "Aucun",  // NoClock
    "Echantillons de taille fixe",  // FixedSizeSamples
    "Compression temporelle",  // TemporalCompression
    "Analyse du fichier %s, modifié le %s",  // HeaderAnalysedFile
    "faite le %s avec %s de %s version %s",  // HeaderMadeOn
    "Visitez mon site web %s",  // HeaderVisit
    "de",  // By
    "",  // UnrecognisedFourcc
    "Ouvrir",  // CaptionOpen
    "Ouvrir un fichier .grf",  // HintOpen
    "Coller",  // CaptionPaste
    "Coller un fichier depuis le presse-papiers",  // HintPaste
    "Sauver",  // CaptionSave
    "Enregistrer un fichier log avec l'analyse de %s",  // HintSave
    "A propos...",  // CaptionAbout
    "Pour avoir des informations sur %s et %s",  // HintAbout
    "Quitter",  // CaptionQuit
    "Quitter %s",  // HintQuit
    "Fichiers GraphEdit (*.grf)|*.grf|Tous fichiers (*.*)|*.*",  // OpenDialogFilter
    "Fichier Log (*.log)|*.log|Fichier Texte (*.txt)|*.txt|Tous fichiers (*.*)|*.*",  // SaveDialogFilter
    "DirectShow",  // LegendDirectShow
    "DMO",  // LegendDmo
    "Pnp",  // LegendPnp
    "ACM",  // LegendAcm
    "PCM",
    "ADPCM",
    "IEEE_FLOAT",
    "IBM_CVSD",
    "ALAW",
    "MULAW",
    "OKI_ADPCM",
    "DVI_ADPCM",
    "MEDIASPACE_ADPCM",
    "SIERRA_ADPCM",
    "G723_ADPCM",
    "DIGISTD",
    "DIGIFIX",
    "DIALOGIC_OKI_ADPCM",
    "MEDIAVISION_ADPCM",
    "YAMAHA_ADPCM",
    "SONARC",
    "DSPGROUP_TRUESPEECH",
    "ECHOSC1",
    "AUDIOFILE_AF36",
    "APTX",
    "AUDIOFILE_AF10",
    "DOLBY_AC2",
    "GSM610",
    "MSNAUDIO",
    "ANTEX_ADPCME",
    "CONTROL_RES_VQLPC",
    "DIGIREAL",
    "DIGIADPCM",
    "CONTROL_RES_CR10",
    "NMS_VBXADPCM",
    "CS_IMAADPCM",
    "ECHOSC3",
    "ROCKWELL_ADPCM",
    "ROCKWELL_DIGITALK",
    "XEBEC",
    "G721_ADPCM",
    "G728_CELP",
    "MPEG",
    "MP3",
    "CIRRUS",
    "ESPCM",
    "VOXWARE",
    "CANOPUS_ATRAC",
    "G726_ADPCM",
    "G722_ADPCM",
    "DSAT",
    "DSAT_DISPLAY",
    "SOFTSOUND",
    "RHETOREX_ADPCM",
    "CREATIVE_ADPCM",
    "CREATIVE_FASTSPEECH8",
    "CREATIVE_FASTSPEECH10",
    "QUARTERDECK",
    "FM_TOWNS_SND",
    "BTV_DIGITAL",
    "OLIGSM",
    "OLIADPCM",
    "OLICELP",
    "OLISBC",
    "OLIOPR",
    "LH_CODEC",
    "NORRIS",
    "Impossible d'enregistrer le fichier log \"%s\".\r\n%s",  // SaveLogError
    "Fr",  // LanguageTag
    "A propos de %s %s",  // AboutMailSubject
    "Homepage de %s",  // HomePageCaption
    "e-mail de %s",  // MailCaption
    "Envoyer un mail à %s",  // MailHint
    "Fermer",  // CaptionClose
    "Quitter la fenêtre \"A propos\" et revenir au programme.",  // HintClose
    // AboutParagraph1: the product, the author, the credits, the last update.
    "%s a été écrit par %s pour lire les graphes de filtres enregistrés par GraphEdit. "
    "Il a été réalisé avec %s."
    "\r\n\r\n"
    "Sa dernière mise à jour date du %s."
    "\r\n",
    "la bibliothèque Qt 6 et libjpeg de l'Independent JPEG Group (libjpeg-turbo)",  // AboutCredits
    // AboutParagraph2: the terms of use and the disclaimer of warranty.
    "\r\n"
    "Ce programme est gratuit : vous pouvez l'utiliser librement, chez vous comme au travail. "
    "Il est fourni tel quel, sans garantie d'aucune sorte ; l'auteur ne pourra être tenu pour "
    "responsable d'aucun dommage, direct ou indirect, né de son utilisation.",
    // AboutParagraph3: passing the program on, then where to find help.
    "Vous pouvez le donner à qui vous voulez, à condition de le transmettre complet, sans le "
    "modifier et sans rien demander en échange."
    "\r\n"
    "Pour avoir une aide sur son utilisation, des informations, des mises à jour éventuelles "
    "rendez-vous sur mon site web. "
    "Par ailleurs un e-mail fait toujours plaisir, si vous utilisez ce programme ou avez des suggestions.",
    "Le lac de Brunmoor, un matin d'automne",  // PhotoHint
};

}  // namespace

std::string_view Res(Str id) { return kStrings[static_cast<std::size_t>(id)]; }

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size() + 32);
    auto next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size()) {
            const char conversion = pattern[i + 1];
            if (conversion == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (conversion == 's' || conversion == 'd') {
                if (next != args.end()) out += *next++;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::string FormatRes(Str id, std::initializer_list<std::string_view> args) { return FormatText(Res(id), args); }

}  // namespace quorvel
