; PPI at power-on: this program never writes the PPI. Every frame it reads
; port A (0xDC) and port B (0xDD) and shows their 16 bits, most significant
; first, as a row of cells across the middle of the screen (character row
; 12, columns 8-23): white for a 1, black for a 0, on a dark blue screen.
; On the 8255 as it powers on, row 7 is selected, so the joysticks show;
; on the machine's own PPI, row 0 of the keyboard does. It also leaves the
; two bytes at 0xC000 and 0xC001.
VDP_DATA        equ 0xBE
VDP_CTRL        equ 0xBF
PPI_A           equ 0xDC
PPI_B           equ 0xDD
SEEN            equ 0xC000
NAME_TABLE      equ 0x1800
CELLS           equ NAME_TABLE + 12 * 32 + 8
COLOUR_TABLE    equ 0x2000
SPRITES         equ 0x1B00
WRITE           equ 0x4000          ; VRAM address bit 14: a write set-up

        org 0
        di
        ld sp, 0xF000
        ld hl, registers            ; Graphics I, display on, no interrupt
        ld bc, 0x0800               ; eight registers, from register 0
regs:   ld a, (hl)
        out (VDP_CTRL), a
        ld a, c
        or 0x80
        out (VDP_CTRL), a
        inc hl
        inc c
        djnz regs

        ld de, WRITE | 0x0000       ; pattern 0 blank, pattern 1 solid
        call vram_at
        ld b, 8
        xor a
blank:  out (VDP_DATA), a
        djnz blank
        ld b, 8
        dec a
solid:  out (VDP_DATA), a
        djnz solid
        ld de, WRITE | COLOUR_TABLE ; characters 0-7 white on black, the rest dark blue
        call vram_at
        ld a, 0xF1
        out (VDP_DATA), a
        ld b, 31
        ld a, 0x44
colour: out (VDP_DATA), a
        djnz colour
        ld de, WRITE | NAME_TABLE   ; the screen: character 8, dark blue
        call vram_at
        ld hl, 32 * 24
names:  ld a, 8
        out (VDP_DATA), a
        dec hl
        ld a, h
        or l
        jr nz, names
        ld de, WRITE | SPRITES      ; no sprites
        call vram_at
        ld a, 0xD0
        out (VDP_DATA), a

loop:   in a, (PPI_A)
        ld (SEEN), a
        in a, (PPI_B)
        ld (SEEN + 1), a
        ld de, WRITE | CELLS
        call vram_at
        ld a, (SEEN)
        call bits
        ld a, (SEEN + 1)
        call bits
        jr loop

; The eight bits of A as cells: pattern 1 for a 1, 0 for a 0.
bits:   ld b, 8
next:   rlca
        ld c, a
        ld a, 0
        adc a, 0
        out (VDP_DATA), a
        ld a, c
        djnz next
        ret

; Sets the VDP's address to DE (with its write bit).
vram_at:
        ld a, e
        out (VDP_CTRL), a
        ld a, d
        out (VDP_CTRL), a
        ret

registers:
        db 0x00, 0xC0, NAME_TABLE / 0x400, COLOUR_TABLE / 0x40
        db 0x00, SPRITES / 0x80, 0x07, 0x04
        ds 0x4000 - $, 0xFF
