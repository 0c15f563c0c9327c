; The setup's own texts in the seven languages of the saver. English comes first: it is the
; fallback when the system's UI language is none of them.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Dutch"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "PortugueseBR"
; Spanish with the modern sort (3082), the id the saver knows; NSIS's "Spanish" is 1034.
!insertmacro MUI_LANGUAGE "SpanishInternational"

LangString CurrentSaver ${LANG_ENGLISH} "Use as the current screen saver"
LangString CurrentSaver ${LANG_DUTCH} "Als huidige schermbeveiliging gebruiken"
LangString CurrentSaver ${LANG_FRENCH} "Utiliser comme écran de veille actuel"
LangString CurrentSaver ${LANG_GERMAN} "Als aktuellen Bildschirmschoner verwenden"
LangString CurrentSaver ${LANG_ITALIAN} "Usa come salvaschermo attuale"
LangString CurrentSaver ${LANG_PORTUGUESEBR} "Usar como protetor de tela atual"
LangString CurrentSaver ${LANG_SPANISHINTERNATIONAL} "Usar como protector de pantalla actual"

LangString NoMovieControl ${LANG_ENGLISH} "No Flash movie player control is installed on this computer. Vellomar Screensaver needs one to show its movie; it is installed all the same."
LangString NoMovieControl ${LANG_DUTCH} "Er is geen Flash-filmspeler-besturingselement op deze computer geïnstalleerd. Vellomar Screensaver heeft er een nodig om zijn film te tonen; hij wordt toch geïnstalleerd."
LangString NoMovieControl ${LANG_FRENCH} "Aucun contrôle de lecture de films Flash n'est installé sur cet ordinateur. Vellomar Screensaver en a besoin pour afficher son film ; il est installé quand même."
LangString NoMovieControl ${LANG_GERMAN} "Auf diesem Computer ist kein Flash-Steuerelement zur Filmwiedergabe installiert. Vellomar Screensaver braucht eines, um seinen Film zu zeigen; er wird trotzdem installiert."
LangString NoMovieControl ${LANG_ITALIAN} "Su questo computer non è installato alcun controllo per la riproduzione di filmati Flash. Vellomar Screensaver ne ha bisogno per mostrare il suo filmato; viene installato comunque."
LangString NoMovieControl ${LANG_PORTUGUESEBR} "Nenhum controle reprodutor de filmes Flash está instalado neste computador. O Vellomar Screensaver precisa de um para mostrar seu filme; ele é instalado mesmo assim."
LangString NoMovieControl ${LANG_SPANISHINTERNATIONAL} "No hay ningún control reproductor de películas Flash instalado en este equipo. Vellomar Screensaver lo necesita para mostrar su película; se instala de todos modos."

LangString UseX64Setup ${LANG_ENGLISH} "This setup is for 32-bit Windows. On 64-bit Windows, please run vellomar-setup-x64.exe."
LangString UseX64Setup ${LANG_DUTCH} "Deze installatie is voor 32-bits Windows. Gebruik op 64-bits Windows vellomar-setup-x64.exe."
LangString UseX64Setup ${LANG_FRENCH} "Ce programme d'installation est destiné à Windows 32 bits. Sous Windows 64 bits, lancez vellomar-setup-x64.exe."
LangString UseX64Setup ${LANG_GERMAN} "Dieses Setup ist für 32-Bit-Windows. Starten Sie unter 64-Bit-Windows bitte vellomar-setup-x64.exe."
LangString UseX64Setup ${LANG_ITALIAN} "Questa installazione è per Windows a 32 bit. Su Windows a 64 bit avviare vellomar-setup-x64.exe."
LangString UseX64Setup ${LANG_PORTUGUESEBR} "Este instalador é para o Windows de 32 bits. No Windows de 64 bits, execute o vellomar-setup-x64.exe."
LangString UseX64Setup ${LANG_SPANISHINTERNATIONAL} "Este instalador es para Windows de 32 bits. En Windows de 64 bits, ejecute vellomar-setup-x64.exe."
