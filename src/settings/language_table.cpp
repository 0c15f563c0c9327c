#include "settings/language_table.h"

#include <array>

namespace vellomar {

namespace {

// In the order of comparison. The texts are UTF-8 and reach the windows unchanged.
constexpr std::array<LanguageRow, 7> kLanguages{{
    {"1043", "1", "Configuratie van de Screensaver",
     "Deze screensaver vereist de laatste versie van de Flash Player. "
     "De Flash Player zal nu in uw computer geïnstalleerd worden. "
     "Alstublieft klik \"Yes\" wanneer u aangespoord wordt de Flash Player te installeren."},
    {"1033", "2", "Screensaver Configurations",
     "This screensaver requires the latest version of the Flash Player.  "
     "The Flash Player will now be installed into your computer.  "
     "Please click \"Yes\" when you are prompted to install the Flash Player."},
    {"1036", "3", "Les configurations de Screensaver",
     "Ce Screensaver exige la dernière version du Flash Player. "
     "Le Flash Player sera maintenant installé dans votre ordinateur. "
     "S'il vous plaît \"Yes\" de réponse quand vous êtes incité pour installer le Flash Player."},
    {"1031", "4", "Konfigurationen vom Screensaver",
     "Dieser Screensaver erfordert die späteste Version des Flash Player. "
     "Der Flash Player wird jetzt in Ihren Computer installiert werden. "
     "Bitte Antwort \"Yes\", wenn Sie veranlasst werden, den Flash Player zu installieren."},
    {"1040", "5", "Le configurazioni dello Screensaver",
     "Questo Screensaver richiede la versione recentissima dello Flash Player. "
     "Lo Flash Player sarà adesso installato nel suo computer. "
     "Per favore lo \"Yes\" di risposta quando lei è incitato per installare lo Flash Player."},
    {"1046", "6", "As configurações do Screensaver",
     "Este Screensaver exige a última versão do Flash Player. "
     "O Flash Player agora estará instalado em seu computador. "
     "Por favor \"Yes\" de resposta quando são incitados instalar o Flash Player."},
    {"3082", "7", "Las configuraciones del Screensaver",
     "Este Screensaver requiere la última versión del Flash Player. "
     "El Flash Player ahora se instalará en su computadora. "
     "Por favor \"Yes\" de respuesta cuando usted es incitado a instalar el Flash Player."},
}};

}  // namespace

const LanguageRow* LookUpLanguage(std::string_view identifier) {
  for (const LanguageRow& row : kLanguages) {
    if (row.identifier == identifier) return &row;
  }
  return nullptr;
}

}  // namespace vellomar
