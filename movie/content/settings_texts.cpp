#include "content/settings_texts.h"

namespace movie {

const std::array<SettingsTexts, 7> kSettingsTexts = {{
    {"1", "Instellingen", "Muziek", "Aan", "Uit", "Muisbewegingen voordat de screensaver stopt",
     "nooit"},
    {"2", "Settings", "Music", "On", "Off", "Mouse moves before the screensaver ends", "never"},
    {"3", "Réglages", "Musique", "Activée", "Désactivée",
     "Mouvements de souris avant l'arrêt de l'économiseur", "jamais"},
    {"4", "Einstellungen", "Musik", "An", "Aus", "Mausbewegungen bis zum Beenden", "nie"},
    {"5", "Impostazioni", "Musica", "Attiva", "Disattiva",
     "Movimenti del mouse prima della chiusura", "mai"},
    {"6", "Configurações", "Música", "Ligada", "Desligada",
     "Movimentos do mouse antes de encerrar", "nunca"},
    {"7", "Configuración", "Música", "Activada", "Desactivada",
     "Movimientos del ratón antes de salir", "nunca"},
}};

const SettingsTexts& DefaultSettingsTexts() { return kSettingsTexts[1]; }

}  // namespace movie
