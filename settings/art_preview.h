// The picture beside the settings' character boxes: the neutral figures of the
// own and the quoted character facing each other over the backdrop, as a panel
// of the strip shows them. Made from the art at hand; it never fetches.
#pragma once

#include <windows.h>

#include <string>

struct ArtPreview;

ArtPreview* CreateArtPreview();
void DestroyArtPreview(ArtPreview* preview);

// Whether all three are at hand. The dialog gives the picture this as its
// text, for screen readers: the missing-art words, or the names.
bool ArtPreviewComplete(ArtPreview* preview, const std::string& backdrop, const std::string& own,
                        const std::string& quoted);

// Paints the owner-drawn picture for the given backdrop and characters, or
// says in words which art is missing.
void DrawArtPreview(ArtPreview* preview, const DRAWITEMSTRUCT& item, const std::string& backdrop,
                    const std::string& own, const std::string& quoted);
