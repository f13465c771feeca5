#pragma once
// The window layer's own messages, French like the rest of the toolkit's.

inline constexpr const char* SMsgDlgWarning = "Avertissement";
inline constexpr const char* SMsgDlgError = "Erreur";
inline constexpr const char* SMsgDlgInformation = "Information";
inline constexpr const char* SMsgDlgConfirm = "Confirmation";
inline constexpr const char* SMsgDlgYes = "Oui";
inline constexpr const char* SMsgDlgNo = "Non";
inline constexpr const char* SMsgDlgOK = "OK";
inline constexpr const char* SMsgDlgCancel = "Annuler";
inline constexpr const char* SMsgDlgAbort = "Abandonner";
inline constexpr const char* SMsgDlgRetry = "Réessayer";
inline constexpr const char* SMsgDlgIgnore = "Ignorer";
inline constexpr const char* SMsgDlgYesToAll = "Oui pour tout";
inline constexpr const char* SMsgDlgNoToAll = "Non pour tout";
inline constexpr const char* SMsgDlgAll = "Tous";
inline constexpr const char* SScrollBarRange = "Propriété de la barre de défilement hors limites";
inline constexpr const char* SNoDefaultPrinter =
    "Il n'y a pas d'imprimante par défaut actuellement sélectionnée";
inline constexpr const char* SPrinting = "Impression en cours";
inline constexpr const char* SUnknownException = "Exception inconnue";
