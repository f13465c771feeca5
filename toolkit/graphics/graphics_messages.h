#pragma once
// The drawing layer's detail texts, added after the toolkit message (SInvalidBitmap, SInvalidIcon)
// that names the kind of failure. French, like every toolkit message.

// A BMP or icon file that ends inside its headers or tables.
inline constexpr const char* SFileTruncated = "fichier tronqué";

// BMP files.
inline constexpr const char* SBmpSignature = "signature BM absente";
inline constexpr const char* SBmpHeaderSize = "taille d'en-tête %u inconnue";
inline constexpr const char* SBmpWidth = "largeur %d incorrecte";
inline constexpr const char* SBmpHeight = "hauteur %d incorrecte";
inline constexpr const char* SBmpPlanes = "nombre de plans %u incorrect";
inline constexpr const char* SBmpBitCount = "profondeur de %u bits non prise en charge";
inline constexpr const char* SBmpCompression = "compression %u non prise en charge";
inline constexpr const char* SBmpCompressionDepth = "compression %u impossible avec %u bits par pixel";
inline constexpr const char* SBmpTopDownRle = "image compressée RLE rangée de haut en bas";
inline constexpr const char* SBmpColorCount = "table de %u couleurs trop grande";
inline constexpr const char* SBmpOffsetPastEnd = "début des pixels (%u) après la fin du fichier";
inline constexpr const char* SBmpOffsetInHeader = "début des pixels (%u) dans l'en-tête";
inline constexpr const char* SBmpTooLarge = "image de %d x %d pixels trop grande";
inline constexpr const char* SBmpTruncated = "données de pixels tronquées (%d octets attendus, %d présents)";
inline constexpr const char* SBmpMasks = "masques de couleurs incorrects";
inline constexpr const char* SBmpRleRow = "plage RLE au-delà de la fin de la ligne %d";
inline constexpr const char* SBmpRlePicture = "plage RLE au-delà de la fin de l'image";

// Icons.
inline constexpr const char* SIconHeader = "en-tête de répertoire incorrect";
inline constexpr const char* SIconEntry = "image %d hors du fichier";
inline constexpr const char* SIconPng = "images compressées en PNG illisibles : aucun décodeur PNG installé";
inline constexpr const char* SIconImage = "image %d incorrecte";
inline constexpr const char* SChangeIconSize = "Impossible de modifier la taille d'une icône";

// Text drawing.
inline constexpr const char* SNoGuiForText = "Le dessin de texte demande une application graphique";

// Metafiles.
inline constexpr const char* SMetafileKind = "ni métafichier Windows ni métafichier amélioré";
inline constexpr const char* SMetafileHeader = "en-tête incorrect";
inline constexpr const char* SMetafileInch = "nombre d'unités par pouce nul";
inline constexpr const char* SMetafileNoWindow =
    "taille inconnue : ni en-tête de placement ni fenêtre définie";
inline constexpr const char* SMetafileSize = "taille de %d x %d pixels incorrecte";
inline constexpr const char* SMetafileTruncated = "enregistrement %d (octet %d) au-delà de la fin du fichier";
inline constexpr const char* SMetafileRecord = "enregistrement %d (octet %d) endommagé";
inline constexpr const char* SMetafileTooLarge = "fichier trop grand";
inline constexpr const char* SMetafilePictureTooLarge = "image de %d x %d pixels trop grande";
inline constexpr const char* SMetafileBitmapBudget =
    "bitmaps de plus de %u pixels en tout, trop pour un fichier de %u octets";
inline constexpr const char* SMetafileBrushBudget =
    "motifs de pinceau de plus de %u pixels en tout, trop pour un fichier de %u octets";
inline constexpr const char* SMetafileClipBudget =
    "découpage de plus de %u étapes de calcul, trop pour un fichier de %u octets";
inline constexpr const char* SMetafileDrawingBudget =
    "dessin de plus de %u pixels à peindre en tout, trop pour un fichier de %u octets";
