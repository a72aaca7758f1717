"""Pixel art for Pinova, drawn in code: window skins, toolbar glyphs, program icon."""
