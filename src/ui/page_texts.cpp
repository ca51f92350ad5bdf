#include "ui/page_texts.h"

#include <array>
#include <cstddef>

namespace tarvium::ui {
namespace {

struct TextRow {
  PageText id;
  const char* pszGerman;
  const char* pszEnglish;
  const char* pszFrench;
};

constexpr TextRow kTexts[] = {
    {PageText::Next, "Weiter >", "Next >", "Suivant >"},
    {PageText::Back, "< Zurück", "< Back", "< Précédent"},
    {PageText::Cancel, "Abbrechen", "Cancel", "Annuler"},
    {PageText::Help, "Hilfe", "Help", "Aide"},
    {PageText::OK, "OK", "OK", "OK"},
    {PageText::Skip, "Überspringen", "Skip", "Ignorer"},
    {PageText::Browse, "Durchsuchen...", "Browse...", "Parcourir..."},
    {PageText::Yes, "Ja", "Yes", "Oui"},
    {PageText::No, "Nein", "No", "Non"},
    {PageText::AdminHeading, "Administrator-Installation", "Administrator setup",
     "Installation administrateur"},
    {PageText::AdminExplanation, "Wohin soll das Produkt installiert werden?",
     "Where should the product be installed?", "Où le produit doit-il être installé ?"},
    {PageText::AdminFileServer, "Auf den Dateiserver", "On the file server",
     "Sur le serveur de fichiers"},
    {PageText::AdminWorkstation, "Auf diese Arbeitsstation", "On this workstation",
     "Sur ce poste de travail"},
    {PageText::SameHeading, "Produkt bereits installiert", "Product already installed",
     "Produit déjà installé"},
    {PageText::SameExplanation, "Dieses Produkt ist bereits installiert. Was möchten Sie tun?",
     "This product is already installed. What would you like to do?",
     "Ce produit est déjà installé. Que voulez-vous faire ?"},
    {PageText::SameAddRemove, "Komponenten hinzufügen oder entfernen", "Add or remove components",
     "Ajouter ou supprimer des composants"},
    {PageText::SameRepeat, "Installation wiederholen", "Repeat the installation",
     "Répéter l'installation"},
    {PageText::SameNew, "Neu installieren", "Install anew", "Réinstaller"},
    {PageText::SameUninstall, "Deinstallieren", "Uninstall", "Désinstaller"},
    {PageText::LicenceHeading, "Lizenzvertrag", "Licence agreement", "Contrat de licence"},
    {PageText::LicenceQuestion, "Nehmen Sie die Lizenzbedingungen an?",
     "Do you accept the terms of the licence?", "Acceptez-vous les termes de la licence ?"},
    {PageText::InfoHeading, "Information", "Information", "Information"},
    {PageText::FromCDHeading, "Installationsort", "Where to run from", "Emplacement"},
    {PageText::FromCDExplanation, "Lokal installieren oder von der CD starten?",
     "Install locally or run from the CD?", "Installer localement ou exécuter depuis le CD ?"},
    {PageText::FromCDLocal, "Lokal installieren", "Install locally", "Installer localement"},
    {PageText::FromCDStart, "Von der CD starten", "Run from the CD", "Exécuter depuis le CD"},
    {PageText::SharedHeading, "Gemeinsame Installation", "Shared installation",
     "Installation partagée"},
    {PageText::SharedExplanation, "Wie soll die Installation des Servers genutzt werden?",
     "How should the server's installation be used?",
     "Comment utiliser l'installation du serveur ?"},
    {PageText::SharedLocal, "Lokal installieren", "Install locally", "Installer localement"},
    {PageText::SharedFromServer, "Vom Server ausführen", "Run from the server",
     "Exécuter depuis le serveur"},
    {PageText::ModeHeading, "Installationsart", "Installation mode", "Type d'installation"},
    {PageText::ModeExplanation, "Wählen Sie die Art der Installation.",
     "Choose the kind of installation.", "Choisissez le type d'installation."},
    {PageText::ModeFull, "Vollständig (%s)", "Full (%s)", "Complète (%s)"},
    {PageText::ModeStandard, "Standard (%s)", "Standard (%s)", "Standard (%s)"},
    {PageText::ModeCustom, "Benutzerdefiniert", "Custom", "Personnalisée"},
    {PageText::DirectoryHeading, "Zielverzeichnis", "Destination directory",
     "Répertoire de destination"},
    {PageText::DataDirectoryHeading, "Datenverzeichnis", "Data directory",
     "Répertoire des données"},
    {PageText::DirectoryChoices,
     "Verzeichnisse zur Auswahl:", "Directories to choose from:", "Répertoires au choix :"},
    {PageText::UserHeading, "Benutzerdaten", "User information", "Informations utilisateur"},
    {PageText::UserExplanation, "Geben Sie Ihren Namen und Ihre Firma ein.",
     "Enter your name and your company.", "Entrez votre nom et votre société."},
    {PageText::UserName, "Name:", "Name:", "Nom :"},
    {PageText::UserCompany, "Firma:", "Company:", "Société :"},
    {PageText::DiskHeading, "Installationsmedium", "Installation medium", "Support d'installation"},
    {PageText::DiskExplanation,
     "Eine Datei wurde nicht gefunden:", "A file was not found:", "Un fichier est introuvable :"},
    {PageText::DiskDirectory,
     "Verzeichnis der Datei:", "Directory of the file:", "Répertoire du fichier :"},
    {PageText::ValueHeading, "Eingabe", "Input", "Saisie"},
    {PageText::ProcessesHeading, "Programme beenden", "Programs to end", "Programmes à fermer"},
    {PageText::ProcessesCountdown, "Weiter in: %d Sek.", "Continuing in: %d sec",
     "Suite dans : %d s"},
    {PageText::RestartHeading, "Neustart", "Restart", "Redémarrage"},
    {PageText::RestartCountdown, "Neustart in: %ld Sek.", "Restarting in: %ld sec",
     "Redémarrage dans : %ld s"},
    {PageText::ProgressHeading, "Installation", "Installing", "Installation"},
    {PageText::ChooserHeading, "Verzeichnis wählen", "Choose directory", "Choisir un répertoire"},
    {PageText::ChooserDrives, "Laufwerke", "Drives", "Lecteurs"},
    {PageText::OptionsHeading, "Komponenten", "Components", "Composants"},
    {PageText::OptionsDescription, "Beschreibung", "Description", "Description"},
    {PageText::IconStop, "Fehler", "Error", "Erreur"},
    {PageText::IconExclamation, "Warnung", "Warning", "Avertissement"},
    {PageText::IconQuestion, "Frage", "Question", "Question"},
    {PageText::IconInformation, "Information", "Information", "Information"},
    {PageText::KeysLine, "Tab/Pfeile: wechseln  Leertaste/Enter: wählen  Esc: Abbrechen",
     "Tab/arrows: move  Space/Enter: choose  Esc: cancel",
     "Tab/flèches : déplacer  Espace/Entrée : choisir  Échap : annuler"},
};

constexpr std::size_t kTextCount = static_cast<std::size_t>(PageText::KeysLine) + 1;

// The rows by their name, checked once: the table holds each name in its own place.
constexpr std::array<TextRow, kTextCount> IndexedTexts() {
  std::array<TextRow, kTextCount> rows{};
  for (const TextRow& row : kTexts) rows[static_cast<std::size_t>(row.id)] = row;
  return rows;
}

constexpr std::array<TextRow, kTextCount> kIndexed = IndexedTexts();
static_assert(std::size(kTexts) == kTextCount, "every page text has one row");

}  // namespace

const char* TextOf(PageText text, uint32_t lcidLanguage) {
  const TextRow& row = kIndexed[static_cast<std::size_t>(text)];
  switch (lcidLanguage & 0x3FF) {
    case 0x07:
      return row.pszGerman;
    case 0x0C:
      return row.pszFrench;
    default:
      return row.pszEnglish;
  }
}

}  // namespace tarvium::ui
