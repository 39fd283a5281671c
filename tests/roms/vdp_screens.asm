; VDP test screens. Fills all 16 KB of VRAM from a small generator, then
; sets the registers of the scene chosen by the byte at 0xC000:
;   0 Text, 1 Graphics I, 2 Graphics II, 3 Multicolor,
;   4 Graphics II with magnified 16 x 16 sprites, 5 Graphics I with 8 x 8
;   sprites, 6 Multicolor with magnified 8 x 8 sprites.
; Sprite scenes copy the attribute table below into VRAM. When done it writes
; 0x5A to 0xC001 and loops.
CTRL    equ 0xBF
DATA    equ 0xBE
SCENE   equ 0xC000
DONE    equ 0xC001

        org 0
        di
        ld sp, 0xF000
        xor a                   ; write set-up at 0x0000
        out (CTRL), a
        ld a, 0x40
        out (CTRL), a
        ld bc, 0x4000
        ld e, 0x17
fill:   ld a, e                 ; e = 5e + 0x3B, mixed with the page number
        add a, a
        add a, a
        add a, e
        add a, 0x3B
        ld e, a
        xor b
        out (DATA), a
        dec bc
        ld a, b
        or c
        jr nz, fill

        ld a, (SCENE)           ; hl = scenes + 16 * scene
        add a, a
        add a, a
        add a, a
        add a, a
        ld l, a
        ld h, 0
        ld de, scenes
        add hl, de
        ld b, 8
        ld c, 0x80
regs:   ld a, (hl)
        out (CTRL), a
        ld a, c
        out (CTRL), a
        inc hl
        inc c
        djnz regs

        ld a, (hl)              ; attribute table address, 0: none
        inc hl
        ld d, (hl)
        or d
        jr z, finish
        dec hl
        ld a, (hl)
        out (CTRL), a
        ld a, d
        or 0x40
        out (CTRL), a
        ld hl, sprites
        ld b, 128
copy:   ld a, (hl)
        out (DATA), a
        inc hl
        djnz copy

finish: ld a, 0x5A
        ld (DONE), a
idle:   jr idle

; registers 0-7, attribute table address, padding
scenes:
        db 0x00, 0x50, 0x0F, 0x00, 0x05, 0x00, 0x00, 0xF4,  0x00, 0x00,  0, 0, 0, 0, 0, 0
        db 0x00, 0x40, 0x06, 0x80, 0x00, 0x36, 0x07, 0x15,  0x00, 0x00,  0, 0, 0, 0, 0, 0
        db 0x02, 0x40, 0x0E, 0xFF, 0x03, 0x76, 0x03, 0x01,  0x00, 0x00,  0, 0, 0, 0, 0, 0
        db 0x00, 0x48, 0x02, 0x00, 0x00, 0x20, 0x00, 0x07,  0x00, 0x00,  0, 0, 0, 0, 0, 0
        db 0x02, 0x43, 0x0E, 0xFF, 0x03, 0x76, 0x03, 0x04,  0x00, 0x3B,  0, 0, 0, 0, 0, 0
        db 0x00, 0x40, 0x06, 0x80, 0x00, 0x36, 0x07, 0x0E,  0x00, 0x1B,  0, 0, 0, 0, 0, 0
        db 0x00, 0x49, 0x02, 0x00, 0x00, 0x20, 0x03, 0x00,  0x00, 0x10,  0, 0, 0, 0, 0, 0

; 32 entries: Y, X, name, early clock | colour
sprites:
        db 0xFF,  10,   0, 0x0F     ; enters from the top
        db 0x00,  30,   4, 0x02
        db  190,  50,   8, 0x03     ; only its first line is on the screen
        db   40,  24,  12, 0x84     ; early clock, partly off the left edge
        db   60,   0,  16, 0x85     ; early clock, off the screen
        db   80, 250,  20, 0x06     ; off the right edge
        db  100,   0,  24, 0x00     ; six on one line, two of colour 0
        db  100,  20,  28, 0x07
        db  100,  40,  32, 0x00
        db  100,  60,  36, 0x08
        db  100,  80,  40, 0x09
        db  100, 100,  44, 0x0A
        db  104, 110,  48, 0x0B     ; overlaps the one before
        db  0xF8, 70,  52, 0x0C     ; just below the wrap: unseen at 8 x 8
        db  120,   7,  56, 0x0D
        db  123,  14,  60, 0x0E
        db  126,  21,  64, 0x0F
        db  129,  28,  68, 0x01
        db  132, 140,  72, 0x02
        db  135, 147,  76, 0x03
        db  138, 154,  80, 0x04
        db  141, 161,  84, 0x05
        db  144, 168,  88, 0x06
        db  147, 175,  92, 0x07
        db  150, 182,  96, 0x08
        db  153, 189, 100, 0x09
        db  156, 196, 104, 0x0A
        db  159, 203, 108, 0x0B
        db  162, 210, 112, 0x8C
        db  165, 217, 116, 0x0D
        db 0xD0,   0,   0, 0x0F     ; end of the table
        db   50,  50,   0, 0x0F     ; after the end: never drawn
