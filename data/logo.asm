; QUAV's logo program: library entry 0, built into the executable.
;
; Draws "QUAV" in block letters, 64 x 24 pixels in the middle of a Graphics II
; screen, and runs a colour gradient through it, one pixel row per frame.
; The letters are characters 1-24 of the middle third (names on screen rows
; 10-12, columns 12-19). Characters 1-8 take colour bytes 0-7 of a 24-byte
; table as their eight row colours, 9-16 bytes 8-15, 17-24 bytes 16-23, so
; the table is the colour of each of the picture's 24 pixel rows. Each frame
; interrupt rotates the table left by one byte and writes it out again.
;
; The program sets neither the stack pointer nor the interrupt mode: the
; frame interrupt carries the data byte 0xFF, which interrupt mode 0 runs as
; RST 38h. The NMI (the reset button) does nothing visible.

vdp_data        equ 0BEh
vdp_control     equ 0BFh
vram_write      equ 40h             ; OR-ed into the high address byte
colour_ram      equ 8000h           ; the rotating copy of the gradient
gradient_rows   equ 24
colour_table    equ 2000h
colour_length   equ 1800h           ; 0x2000-0x37FF
middle_patterns equ 0800h           ; characters 0-24 of the middle third
pattern_length  equ 25 * 8
middle_colours  equ 2808h           ; colours of characters 1-24 of the middle third
screen_rows     equ 3940h           ; name table 0x3800, rows 10-12
name_length     equ 3 * 32

        org 0000h
        jp start
        ds 0038h - $, 0C9h
        jp frame
        ds 0066h - $, 0C9h
nmi:    di
        ei
        ret

; ---- start-up, interrupts disabled ----
start:  di
        ld hl, vdp_registers        ; value, then 80h + register number
        ld b, vdp_registers_length
        ld c, vdp_control
        otir

        ld hl, gradient
        ld de, colour_ram
        ld bc, gradient_rows
        ldir

        ld hl, colour_table         ; every colour 0: all transparent
        call set_vram_write
        ld bc, colour_length
clear:  xor a
        out (vdp_data), a
        dec bc
        ld a, b
        or c
        jr nz, clear

        ld hl, middle_patterns
        call set_vram_write
        ld hl, patterns
        ld b, pattern_length
        ld c, vdp_data
        otir

        ld hl, screen_rows
        call set_vram_write
        ld hl, names
        ld b, name_length
        ld c, vdp_data
        otir

        ei
idle:   jr idle

; Points the VDP's address at HL for writing.
set_vram_write:
        ld a, l
        out (vdp_control), a
        ld a, h
        or vram_write
        out (vdp_control), a
        ret

; ---- frame interrupt ----
frame:  push af
        push bc
        push de
        push hl
        ex af, af'
        exx
        push af
        push bc
        push de
        push hl
        push ix
        push iy

        ld hl, colour_ram           ; rotate left: the first byte goes to the end
        ld a, (hl)
        ld de, colour_ram
        inc hl
        ld bc, gradient_rows - 1
        ldir
        ld (de), a

        ld hl, middle_colours
        call set_vram_write
        ld hl, colour_ram
        ld c, vdp_data
        ld d, 3                     ; three character rows of the picture
band:   ld e, 8                     ; eight characters each, same eight colours
char:   push hl
        ld b, 8
        otir
        pop hl
        dec e
        jr nz, char
        ld a, l
        add a, 8
        ld l, a
        dec d
        jr nz, band

        in a, (vdp_control)         ; status read: acknowledges the interrupt

        pop iy
        pop ix
        pop hl
        pop de
        pop bc
        pop af
        exx
        ex af, af'
        pop hl
        pop de
        pop bc
        pop af
        ei
        ret

; ---- data ----
        db "<DATA>"

vdp_registers:
        db 80h, 81h                 ; 1: 16 KB, display off while loading
        db 0Eh, 82h                 ; 2: names at 0x3800
        db 0FFh, 83h                ; 3: colours at 0x2000
        db 03h, 84h                 ; 4: patterns at 0x0000
        db 76h, 85h                 ; 5: sprite attributes at 0x3B00
        db 03h, 86h                 ; 6: sprite patterns at 0x1800
        db 00h, 87h                 ; 7: black backdrop
        db 02h, 80h                 ; 0: Graphics II
        db 0E2h, 81h                ; 1: 16 KB, display on, frame interrupt, 16 x 16 sprites
vdp_registers_length equ $ - vdp_registers

; The colour of each pixel row of the picture (foreground in the high nibble,
; background transparent): red through yellow and white, greens, cyan, blues,
; magenta and back to red.
gradient:
        db 80h, 90h, 90h, 0B0h, 0B0h, 0F0h, 0F0h, 0B0h
        db 30h, 30h, 20h, 0C0h, 20h, 70h, 70h, 50h
        db 50h, 40h, 40h, 0D0h, 0D0h, 60h, 60h, 80h

; The picture, 64 x 24 pixels:
;
;
;
;       #######     ####       ####       ###       ####       ####
;     ###########   ####       ####      #####      ####       ####
;    #####   #####  ####       ####      #####      ####       ####
;    ####     ####  ####       ####     #######     ####       ####
;   ####       #### ####       ####     ### ###      ####     ####
;   ####       #### ####       ####    #### ####     ####     ####
;   ####       #### ####       ####    ###   ###     ####     ####
;   ####       #### ####       ####   ####   ####     ####   ####
;   ####       #### ####       ####   ###     ###     ####   ####
;   ####       #### ####       ####  ####     ####    ####   ####
;   ####       #### ####       ####  #############     #### ####
;   ####       #### ####       ####  #############     #### ####
;   ####       #### ####       #### ###############    #### ####
;   ####   ##  #### ####       #### ####       ####     #######
;   ####   ### #### ####       #### ####       ####     #######
;    ####   ######   ####     ####  ####       ####      #####
;    #####   #####   #####   #####  ####       ####      #####
;     ###########     ###########   ####       ####       ###
;       ##########      #######     ####       ####       ###
;              ####
;               ##
;
; Character 0 stays blank; characters 1-24, 8 x 8 each, top row first.
patterns:
        db 0, 0, 0, 0, 0, 0, 0, 0   ;  0: blank
        db 00000000b,00000000b,00001111b,00111111b,01111100b,01111000b,11110000b,11110000b  ;  1: Q, top left
        db 00000000b,00000000b,11100000b,11111000b,01111100b,00111100b,00011110b,00011110b  ;  2: Q, top right
        db 00000000b,00000000b,11110000b,11110000b,11110000b,11110000b,11110000b,11110000b  ;  3: U, top left
        db 00000000b,00000000b,00011110b,00011110b,00011110b,00011110b,00011110b,00011110b  ;  4: U, top right
        db 00000000b,00000000b,00000011b,00000111b,00000111b,00001111b,00001110b,00011110b  ;  5: A, top left
        db 00000000b,00000000b,10000000b,11000000b,11000000b,11100000b,11100000b,11110000b  ;  6: A, top right
        db 00000000b,00000000b,11110000b,11110000b,11110000b,11110000b,01111000b,01111000b  ;  7: V, top left
        db 00000000b,00000000b,00011110b,00011110b,00011110b,00011110b,00111100b,00111100b  ;  8: V, top right
        db 11110000b,11110000b,11110000b,11110000b,11110000b,11110000b,11110000b,11110001b  ;  9: Q, middle left
        db 00011110b,00011110b,00011110b,00011110b,00011110b,00011110b,00011110b,10011110b  ; 10: Q, middle right
        db 11110000b,11110000b,11110000b,11110000b,11110000b,11110000b,11110000b,11110000b  ; 11: U, middle left
        db 00011110b,00011110b,00011110b,00011110b,00011110b,00011110b,00011110b,00011110b  ; 12: U, middle right
        db 00011100b,00111100b,00111000b,01111000b,01111111b,01111111b,11111111b,11110000b  ; 13: A, middle left
        db 01110000b,01111000b,00111000b,00111100b,11111100b,11111100b,11111110b,00011110b  ; 14: A, middle right
        db 01111000b,00111100b,00111100b,00111100b,00011110b,00011110b,00011110b,00001111b  ; 15: V, middle left
        db 00111100b,01111000b,01111000b,01111000b,11110000b,11110000b,11110000b,11100000b  ; 16: V, middle right
        db 11110001b,01111000b,01111100b,00111111b,00001111b,00000000b,00000000b,00000000b  ; 17: Q, bottom left
        db 11011110b,11111100b,01111100b,11111000b,11111100b,00011110b,00001100b,00000000b  ; 18: Q, bottom right
        db 11110000b,01111000b,01111100b,00111111b,00001111b,00000000b,00000000b,00000000b  ; 19: U, bottom left
        db 00011110b,00111100b,01111100b,11111000b,11100000b,00000000b,00000000b,00000000b  ; 20: U, bottom right
        db 11110000b,11110000b,11110000b,11110000b,11110000b,00000000b,00000000b,00000000b  ; 21: A, bottom left
        db 00011110b,00011110b,00011110b,00011110b,00011110b,00000000b,00000000b,00000000b  ; 22: A, bottom right
        db 00001111b,00000111b,00000111b,00000011b,00000011b,00000000b,00000000b,00000000b  ; 23: V, bottom left
        db 11100000b,11000000b,11000000b,10000000b,10000000b,00000000b,00000000b,00000000b  ; 24: V, bottom right

; Screen rows 10-12: the picture in columns 12-19.
names:
        db 0,0,0,0,0,0,0,0,0,0,0,0,  1, 2, 3, 4, 5, 6, 7, 8,  0,0,0,0,0,0,0,0,0,0,0,0
        db 0,0,0,0,0,0,0,0,0,0,0,0,  9,10,11,12,13,14,15,16,  0,0,0,0,0,0,0,0,0,0,0,0
        db 0,0,0,0,0,0,0,0,0,0,0,0, 17,18,19,20,21,22,23,24,  0,0,0,0,0,0,0,0,0,0,0,0

        ds 4000h - $, 0C9h          ; RET to the end of the 16 KB image
