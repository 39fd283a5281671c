; An interrupt storm in interrupt mode 1 (irq_storm.inc).
MODE equ 1
        include "irq_storm.inc"
