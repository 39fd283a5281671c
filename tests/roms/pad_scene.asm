; A scene that shows its input, for front-end tests. Graphics I with the
; frame interrupt on (IM 1); every interrupt:
;  - draws the eight PPI rows (rows 0-6 the keyboard, row 7 the joysticks)
;    as cells, port A's bits at columns 4-11 and port B's at 14-21 of name
;    rows 0, 2, ... 14 (a solid cell is a 1 bit);
;  - draws the frame count (16 bits) on name row 18 and the NMI count on
;    row 20;
;  - moves sprite 0 with joystick 1 and sprite 1 with joystick 2, their
;    colours following the buttons; sprites 2-5 stand on line 100 with 0
;    and 1 at the start, so the four-sprites limit hides some of them;
;  - sets tone 0's period from the frame count, tone 1's from joystick 1
;    and the noise from the frame count, so the sound follows time and input.
; The NMI (the reset key) counts itself. RAM from 0xC000 serves every map.
VDP_DATA  equ 0BEh
VDP_CTRL  equ 0BFh
PSG       equ 7Fh
PPI_A     equ 0DCh
PPI_B     equ 0DDh
PPI_C     equ 0DEh

FRAMES    equ 0C000h        ; 16-bit frame count
NMIS      equ 0C002h
PA        equ 0C003h        ; the row just read
PB        equ 0C004h
J1        equ 0C005h        ; row 7's port A and B
J2        equ 0C006h
S0Y       equ 0C007h        ; sprite 0 and 1 positions
S0X       equ 0C008h
S1Y       equ 0C009h
S1X       equ 0C00Ah
STACK     equ 0DFF0h

NAMES     equ 1800h
COLOURS   equ 2000h
SPRITES   equ 1B00h
SPRITE_PATTERNS equ 3800h
LINE      equ 100

        org 0
        di
        ld sp, STACK
        jp start

        ds 38h - $, 0
        jp frame

        ds 66h - $, 0
        push af
        ld a, (NMIS)
        inc a
        ld (NMIS), a
        pop af
        retn

start:  im 1
        ld hl, FRAMES           ; clear the variables
        ld b, 16
clear:  ld (hl), 0
        inc hl
        djnz clear
        ld a, LINE
        ld (S0Y), a
        ld (S1Y), a
        ld a, 8
        ld (S0X), a
        ld a, 24
        ld (S1X), a

        ld hl, registers        ; display off while VRAM is filled
        ld b, 8
        ld c, 80h
setreg: ld a, (hl)
        out (VDP_CTRL), a
        ld a, c
        out (VDP_CTRL), a
        inc hl
        inc c
        djnz setreg

        ld hl, 0                ; clear all 16 KB
        call set_write
        ld bc, 4000h
wipe:   xor a
        out (VDP_DATA), a
        dec bc
        ld a, b
        or c
        jr nz, wipe

        ld hl, 8                ; pattern 1: solid (pattern 0 stays blank)
        call set_write
        ld b, 8
        call fill_ff
        ld hl, SPRITE_PATTERNS  ; sprite pattern 0: solid
        call set_write
        ld b, 8
        call fill_ff
        ld hl, COLOURS          ; patterns 0-7: white on dark blue
        call set_write
        ld a, 0F4h
        out (VDP_DATA), a

        ld a, 0E0h              ; 16 KB, display on, frame interrupt on
        out (VDP_CTRL), a
        ld a, 81h
        out (VDP_CTRL), a
        ei
idle:   halt
        jr idle

; ---- the frame interrupt ----
frame:  push af
        push bc
        push de
        push hl
        in a, (VDP_CTRL)        ; acknowledge
        ld hl, (FRAMES)
        inc hl
        ld (FRAMES), hl

        ld c, 0                 ; the PPI rows
row:    ld a, c
        out (PPI_C), a
        in a, (PPI_A)
        ld (PA), a
        in a, (PPI_B)
        ld (PB), a
        ld l, c                 ; name row 2c, column 4: 1800h + 64c + 4
        ld h, 0
        add hl, hl
        add hl, hl
        add hl, hl
        add hl, hl
        add hl, hl
        add hl, hl
        ld de, NAMES + 4
        add hl, de
        call set_write
        ld a, (PA)
        call bits8
        xor a
        out (VDP_DATA), a
        out (VDP_DATA), a
        ld a, (PB)
        call bits8
        inc c
        ld a, c
        cp 8
        jr nz, row
        ld a, (PA)              ; the last row read is row 7
        ld (J1), a
        ld a, (PB)
        ld (J2), a

        ld hl, NAMES + 18 * 32 + 4
        call set_write
        ld a, (FRAMES + 1)
        call bits8
        ld a, (FRAMES)
        call bits8
        ld hl, NAMES + 20 * 32 + 4
        call set_write
        ld a, (NMIS)
        call bits8

        ld a, (J1)              ; joystick 1: bits 0-3 up, down, left, right
        ld hl, S0Y
        call move
        ld a, (J2)              ; joystick 2: up and down are row 7's port A
        rla                     ; bits 6 and 7, left and right port B's 0, 1
        rla
        and 0Ch
        ld b, a
        ld a, (J1)
        rlca
        rlca
        and 03h
        or b
        ld hl, S1Y
        call move

        ld hl, SPRITES
        call set_write
        ld a, (S0Y)
        out (VDP_DATA), a
        ld a, (S0X)
        out (VDP_DATA), a
        xor a
        out (VDP_DATA), a
        ld a, (J1)              ; the buttons pick the colour
        rrca
        rrca
        rrca
        rrca
        and 03h
        or 0Ch
        out (VDP_DATA), a
        ld a, (S1Y)
        out (VDP_DATA), a
        ld a, (S1X)
        out (VDP_DATA), a
        xor a
        out (VDP_DATA), a
        ld a, (J2)
        rrca
        rrca
        and 03h
        or 04h
        out (VDP_DATA), a
        ld hl, still
        ld b, still_end - still
still1: ld a, (hl)
        out (VDP_DATA), a
        inc hl
        djnz still1

        ld a, (FRAMES)          ; tone 0 from the frame count
        ld b, a
        and 0Fh
        or 80h
        out (PSG), a
        ld a, b
        rrca
        rrca
        rrca
        rrca
        and 0Fh
        or 10h
        out (PSG), a
        ld a, 92h
        out (PSG), a
        ld a, (J1)              ; tone 1 from joystick 1
        ld b, a
        and 0Fh
        or 0A0h
        out (PSG), a
        ld a, b
        rrca
        rrca
        rrca
        rrca
        and 0Fh
        or 08h
        out (PSG), a
        ld a, 0B4h
        out (PSG), a
        ld a, (FRAMES)          ; the noise from the frame count
        rrca
        rrca
        rrca
        and 07h
        or 0E0h
        out (PSG), a
        ld a, 0F6h
        out (PSG), a

        pop hl
        pop de
        pop bc
        pop af
        ei
        reti

; Moves the sprite whose Y and X are at HL and HL+1 by the active-low
; directions in A's bits 0-3 (up, down, left, right).
move:   ld b, a
        bit 0, b
        jr nz, move1
        dec (hl)
move1:  bit 1, b
        jr nz, move2
        inc (hl)
move2:  inc hl
        bit 2, b
        jr nz, move3
        dec (hl)
move3:  bit 3, b
        ret nz
        inc (hl)
        ret

; Writes A's eight bits as cells, bit 7 first: pattern 1 for a 1, 0 for a 0.
bits8:  ld b, 8
bits81: rlca
        push af
        ld a, 0
        adc a, 0
        out (VDP_DATA), a
        pop af
        djnz bits81
        ret

; Sets up a VRAM write at HL.
set_write:
        ld a, l
        out (VDP_CTRL), a
        ld a, h
        or 40h
        out (VDP_CTRL), a
        ret

fill_ff:
        ld a, 0FFh
fill1:  out (VDP_DATA), a
        djnz fill1
        ret

registers:
        db 00h, 80h, 06h, 80h, 00h, 36h, 07h, 04h
; Sprites 2-5 on line LINE, then the end of the list.
still:  db LINE, 40, 0, 8
        db LINE, 56, 0, 9
        db LINE, 72, 0, 10
        db LINE, 88, 0, 11
        db 0D0h
still_end:
