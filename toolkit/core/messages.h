#pragma once
// The toolkit's own messages. They are French, as the toolkit the program was first written on spoke.
// Texts with placeholders are used with Format.

inline constexpr const char* SIntOverflow = "Débordement d'entier";
inline constexpr const char* SRangeError = "Erreur de vérification d'étendue";
inline constexpr const char* SDivByZero = "Division par zéro";
inline constexpr const char* SInvalidOp = "Opération en virgule flottante incorrecte";
inline constexpr const char* SListIndexError = "Index de liste hors limites (%d)";
inline constexpr const char* SListCountError = "Nombre d'éléments de la liste hors limites (%d)";
inline constexpr const char* SSortedListError = "Opération non autorisée sur des listes de chaînes triées";
inline constexpr const char* SDuplicateString = "La liste de chaînes n'autorise pas les doublons";
inline constexpr const char* SReadError = "Erreur de lecture du flux";
inline constexpr const char* SWriteError = "Erreur d'écriture du flux";
inline constexpr const char* SFOpenError = "Impossible d'ouvrir le fichier %s";
inline constexpr const char* SFCreateError = "Impossible de créer le fichier %s";
// With the system's reason.
inline constexpr const char* SFCreateErrorEx = "Impossible de créer le fichier %s : %s";
inline constexpr const char* SFWriteErrorEx = "Erreur d'écriture du fichier %s : %s";
inline constexpr const char* SShortWrite = "écriture incomplète";
// The reason given for a folder, a pipe or a device where a file was wanted.
inline constexpr const char* SNotRegularFile = "ce n'est pas un fichier ordinaire";
inline constexpr const char* SInvalidInteger = "'%s' n'est pas une valeur entière correcte";
inline constexpr const char* SInvalidFloat = "'%s' n'est pas une valeur en virgule flottante correcte";
inline constexpr const char* SInvalidFormat = "Format '%s' incorrect ou incompatible avec l'argument";
inline constexpr const char* SArgumentMissing = "Aucun argument pour le format '%s'";
inline constexpr const char* SAssignError = "Impossible d'assigner un %s à un %s";
inline constexpr const char* SUnknownExtension = "Extension de fichier image inconnue (.%s)";
inline constexpr const char* SInvalidBitmap = "L'image bitmap n'est pas valide";
inline constexpr const char* SInvalidIcon = "L'icône n'est pas valide";
inline constexpr const char* SInvalidMetafile = "Le métafichier n'est pas valide";
inline constexpr const char* SScanLine = "Index de ligne de balayage hors limites";
inline constexpr const char* SInvalidPixelFormat = "Format de pixel incorrect";
inline constexpr const char* SOutOfResources = "Ressources système insuffisantes";
inline constexpr const char* SOperationAborted = "Opération abandonnée";
